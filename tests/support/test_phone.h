#pragma once
// The phone's side of a connection to 127.0.0.1, on plain Asio sockets. Reads have a deadline.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include <asio.hpp>

namespace quenmora::test_support {

class TestPhone {
 public:
  // From `localPort` when it is given, as a phone that reconnects from the port it had.
  explicit TestPhone(std::uint16_t port, std::uint16_t localPort = 0) {
    const asio::ip::address_v4 loopback = asio::ip::make_address_v4("127.0.0.1");
    socket_.open(asio::ip::tcp::v4());
    socket_.set_option(asio::socket_base::reuse_address(true));
    socket_.bind({loopback, localPort});
    socket_.connect({loopback, port});
  }

  std::uint16_t localPort() const { return socket_.local_endpoint().port(); }

  // The address the server sees for this phone.
  std::string address() const {
    return "127.0.0.1:" + std::to_string(socket_.local_endpoint().port());
  }

  void Write(std::string_view bytes) { asio::write(socket_, asio::buffer(bytes)); }

  void Close() { socket_.close(); }

  // Closes with a reset, as a phone's system does when it drops a connection: its port is free
  // again at once.
  void Reset() {
    socket_.set_option(asio::socket_base::linger(true, 0));
    socket_.close();
  }

  // Up to `size` bytes: fewer if the deadline passes or the server closes the connection.
  std::string Read(std::size_t size, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::string bytes(size, '\0');
    std::size_t received = 0;
    asio::async_read(socket_, asio::buffer(bytes),
                     [&](const asio::error_code&, std::size_t length) { received = length; });
    io_.restart();
    io_.run_for(timeout);
    if (!io_.stopped()) {
      socket_.cancel();
      io_.run();
    }
    bytes.resize(received);
    return bytes;
  }

  // Whether the server closes the connection within the deadline.
  bool ClosedByServer(std::chrono::milliseconds timeout) {
    asio::error_code result = asio::error::timed_out;
    char byte = 0;
    asio::async_read(socket_, asio::buffer(&byte, 1),
                     [&](const asio::error_code& ec, std::size_t) { result = ec; });
    io_.restart();
    io_.run_for(timeout);
    if (!io_.stopped()) {
      socket_.cancel();
      io_.run();
    }
    return result == asio::error::eof || result == asio::error::connection_reset;
  }

 private:
  asio::io_context io_;
  asio::ip::tcp::socket socket_{io_};
};

}  // namespace quenmora::test_support
