#include "link/server/keep_alive.h"

#include <gtest/gtest.h>

#include <asio.hpp>

#ifndef _WIN32
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace quenmora::link {
namespace {

using asio::ip::tcp;

#ifndef _WIN32
int TcpOption(tcp::socket& socket, int option) {
  int value = 0;
  socklen_t size = sizeof value;
  EXPECT_EQ(::getsockopt(socket.native_handle(), IPPROTO_TCP, option, &value, &size), 0);
  return value;
}
#endif

// The server's side of a loopback connection, as it comes from accept: keep-alive reads back as on
// once enabled, with the timings where the system lets them be read. A socket that is not open
// reports the failure.
TEST(KeepAlive, AnAcceptedConnectionIsProbedWithTheChosenTimings) {
  asio::io_context io;
  tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address_v4("127.0.0.1"), 0));
  tcp::socket phone(io);
  phone.connect(acceptor.local_endpoint());
  tcp::socket accepted = acceptor.accept();

  asio::socket_base::keep_alive keepAlive;
  accepted.get_option(keepAlive);
  ASSERT_FALSE(keepAlive.value());
  ASSERT_TRUE(EnableKeepAlive(accepted.native_handle()));
  accepted.get_option(keepAlive);
  EXPECT_TRUE(keepAlive.value());
#ifndef _WIN32
  EXPECT_EQ(TcpOption(accepted, TCP_KEEPIDLE), kKeepAliveIdle.count());
  EXPECT_EQ(TcpOption(accepted, TCP_KEEPINTVL), kKeepAliveInterval.count());
  EXPECT_EQ(TcpOption(accepted, TCP_KEEPCNT), kKeepAliveProbes);
#endif

  // -1 is no socket on either system (INVALID_SOCKET on Windows).
  EXPECT_FALSE(EnableKeepAlive(static_cast<tcp::socket::native_handle_type>(-1)));
}

}  // namespace
}  // namespace quenmora::link
