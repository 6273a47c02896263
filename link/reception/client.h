#pragma once
// One connection as reception and the server name it.
#include <cstdint>
#include <string>
#include <string_view>

namespace quenmora::link {

// Names one connection for as long as the program runs: a counter, never reused. Its address
// alone cannot: a phone that reconnects from the same port has the old connection's address while
// the old one's close is still on its way.
using ConnectionId = std::uint64_t;

struct Client {
  ConnectionId id;
  std::string address;  // the peer as "a.b.c.d:port", only to be shown

  // The address without its port: a phone that reconnects keeps its host, not its port.
  std::string_view host() const { return std::string_view(address).substr(0, address.rfind(':')); }
};

}  // namespace quenmora::link
