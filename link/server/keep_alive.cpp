#include "link/server/keep_alive.h"

#ifdef _WIN32
#include <winsock2.h>
#include <mstcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace quenmora::link {

#ifdef _WIN32

bool EnableKeepAlive(asio::ip::tcp::socket::native_handle_type socket) {
  // Also set on its own, so the option reads back as on whatever the ioctl did.
  const BOOL on = TRUE;
  if (::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
                   sizeof on) != 0) {
    return false;
  }
  // The timings in milliseconds; Windows 7 knows no other way to set them.
  tcp_keepalive values{};
  values.onoff = 1;
  values.keepalivetime = static_cast<u_long>(std::chrono::milliseconds(kKeepAliveIdle).count());
  values.keepaliveinterval = static_cast<u_long>(std::chrono::milliseconds(kKeepAliveInterval).count());
  DWORD returned = 0;
  if (::WSAIoctl(socket, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr,
                 nullptr) != 0) {
    return false;
  }
  // The probe count is settable from Windows 10 1703 on (MinGW's headers lack the option's
  // number). Older systems refuse it and keep their fixed 10 probes, so a refusal is no failure.
  constexpr int kTcpKeepCnt = 16;
  const DWORD probes = kKeepAliveProbes;
  ::setsockopt(socket, IPPROTO_TCP, kTcpKeepCnt, reinterpret_cast<const char*>(&probes), sizeof probes);
  return true;
}

#else

bool EnableKeepAlive(asio::ip::tcp::socket::native_handle_type socket) {
  const int on = 1;
  const auto idle = static_cast<int>(kKeepAliveIdle.count());
  const auto interval = static_cast<int>(kKeepAliveInterval.count());
  const int probes = kKeepAliveProbes;
  return ::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == 0 &&
         ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle) == 0 &&
         ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval) == 0 &&
         ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) == 0;
}

#endif

}  // namespace quenmora::link
