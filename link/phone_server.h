#pragma once
// The TCP server the phone connects to. Its socket work runs on a network thread of its own;
// every event is handed to the UI thread through the UiExecutor.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "link/ui_executor.h"
#include "link/wire_format.h"

namespace quenmora::link {

// The most one chunk holds. With one chunk in flight per connection it also bounds what a phone
// can make the program hold in memory. Chosen by bench/throughput: fewer, larger chunks cost less
// per byte (each is handed to the UI thread and back).
inline constexpr std::size_t kReceiveBufferSize = 256 * 1024;

struct ServerEvents {
  // `client` is the peer's address as "a.b.c.d:port".
  std::function<void(const std::string& client)> clientConnected;
  // The chunk is valid only during the call; the connection's next read starts after it returns.
  std::function<void(const std::string& client, std::span<const std::uint8_t> chunk)> dataArrived;
  std::function<void(const std::string& client)> clientGone;
  std::function<void(const std::string& client, bool ok)> sendFinished;
};

class PhoneServer {
 public:
  PhoneServer(UiExecutor ui, ServerEvents events);
  ~PhoneServer();  // stops the network thread and closes every connection
  PhoneServer(const PhoneServer&) = delete;
  PhoneServer& operator=(const PhoneServer&) = delete;

  // Listens on every IPv4 address. False if listening failed (the port is taken, say).
  bool Start(std::uint16_t port);
  // The port actually listened on (useful with port 0 in tests).
  std::uint16_t port() const;
  // Sends the whole message; the result comes back as sendFinished. An unknown client fails.
  void Send(const std::string& client, std::string data);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quenmora::link
