#pragma once
// The TCP server the phone connects to. Its socket work runs on a network thread of its own;
// every event is handed to the UI thread through the UiExecutor. How a read travels between the
// two is told at the top of phone_server.cpp.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "link/reception/client.h"
#include "link/server/read_buffers.h"
#include "link/reception/ui_executor.h"
#include "link/wire/wire_format.h"

namespace quenmora::link {

// Anything on the Wi-Fi can connect. Beyond this many connections new ones are closed at once,
// unannounced: a safety limit only, above the link's own, so that the link chooses whom to close.
inline constexpr std::size_t kServerConnectionLimit = 96;

struct ServerEvents {
  std::function<void(const Client& client)> clientConnected;
  // The chunk is valid during the call, and after it for as long as a copy of `keep` is held (its
  // buffer is not read into again before). The connection's reads go on into other buffers while
  // the call runs, but its next chunk comes only after the call has returned: at most ReadBuffers'
  // bounds are held, past which the next read waits for one to come back. Returning false closes
  // the connection instead: what it had read beyond the chunk is dropped, and its clientGone
  // follows.
  std::function<bool(const Client& client, std::span<const std::uint8_t> chunk,
                     const std::shared_ptr<const void>& keep)>
      dataArrived;
  std::function<void(const Client& client)> clientGone;
  // `client.address` is empty when the connection had gone before the send began.
  std::function<void(const Client& client, bool ok)> sendFinished;
};

// Every function is called on the UI thread, where every event runs.
class PhoneServer {
 public:
  PhoneServer(UiExecutor ui, ServerEvents events);
  ~PhoneServer();  // stops the network and closes every connection; queued events are dropped
  PhoneServer(const PhoneServer&) = delete;
  PhoneServer& operator=(const PhoneServer&) = delete;

  // Listens on every IPv4 address. False if listening failed (the port is taken, say).
  bool Start(std::uint16_t port);
  // The port actually listened on (useful with port 0 in tests).
  std::uint16_t port() const;
  // Sends the whole message; the result comes back as sendFinished. A connection that has closed
  // fails.
  void Send(ConnectionId connection, std::string data);
  // Closes the connection; its clientGone follows, unless it has gone already. The chunks it had
  // read are still handed over first.
  void Disconnect(ConnectionId connection);
  // Hands `task` to the UI thread once `delay` has passed, unless the network has stopped by then.
  void After(std::chrono::milliseconds delay, UiTask task);
  // Ends the network thread and closes the listening socket and every connection: once it returns
  // no event is queued any more. Events already queued for the UI thread still run, chunks
  // included, their buffers kept until the destructor. Sends that have not gone out are dropped.
  void StopNetwork();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quenmora::link
