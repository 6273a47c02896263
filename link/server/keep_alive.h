#pragma once
// TCP keep-alive for an accepted connection. The server never writes unless asked to send the
// roster, so without probes a phone that drops off the Wi-Fi (roams, sleeps, loses power) leaves
// a half-open connection that holds its file and its slot for ever. With them the system fails the
// connection's read once the peer stops answering, and the server closes it like any other.
#include <chrono>

#include <asio/ip/tcp.hpp>

namespace quenmora::link {

// The first probe after this long without traffic, then one every kKeepAliveInterval. Linux and
// Windows 10 (1703 and later) give up after kKeepAliveProbes unanswered probes; Windows 7 and 8
// always send 10. README.md ("Connections") tells the operator how long that takes.
inline constexpr std::chrono::seconds kKeepAliveIdle{60};
inline constexpr std::chrono::seconds kKeepAliveInterval{10};
inline constexpr int kKeepAliveProbes = 6;

// Turns keep-alive on for `socket` with the timings above. False if the system refused it (the
// connection still works, it just is not probed).
bool EnableKeepAlive(asio::ip::tcp::socket::native_handle_type socket);

}  // namespace quenmora::link
