#include "link/server/phone_server.h"

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "link/server/keep_alive.h"

namespace quenmora::link {
namespace {

using asio::ip::tcp;

constexpr auto kAcceptRetryDelay = std::chrono::milliseconds(100);

std::string AddressText(const tcp::endpoint& peer) {
  return peer.address().to_string() + ":" + std::to_string(peer.port());
}

// A second copy of the program must fail to listen rather than share or steal the port.
void ClaimPort(tcp::acceptor& acceptor, asio::error_code& ec) {
#ifdef _WIN32
  // SO_REUSEADDR on Windows would let another socket take over the port; this forbids that.
  BOOL exclusive = TRUE;
  if (::setsockopt(acceptor.native_handle(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&exclusive), sizeof exclusive) != 0) {
    ec = asio::error_code(::WSAGetLastError(), asio::system_category());
  }
#else
  // On POSIX this only allows a restart while old connections linger in TIME_WAIT; a port that
  // something listens on still cannot be bound twice.
  acceptor.set_option(asio::socket_base::reuse_address(true), ec);
#endif
}

struct Connection : std::enable_shared_from_this<Connection> {
  Connection(tcp::socket connected, Client peer) : socket(std::move(connected)), client(std::move(peer)) {}

  // A read on its way to the UI thread; one without a buffer is the connection's end.
  struct Read {
    std::shared_ptr<ReadBuffers::Buffer> buffer;
    std::size_t length = 0;
  };

  tcp::socket socket;
  const Client client;
  bool waitingForBuffer = false;     // its next read waits for a buffer to come back
  bool ended = false;                // its end is on the way: nothing more is read
  bool nonBlocking = false;          // its reads return at once when nothing waits: ReadOn may try
  std::deque<std::string> outgoing;  // the front one is being written

  // Shared by the network thread, which adds what it reads, and the UI thread, which hands it over.
  std::mutex readsMutex;
  std::deque<Read> reads;  // read, not yet handed over, oldest first
  bool handing = false;    // a task of the UI thread hands them over: the next ones join it
  bool refused = false;    // the UI thread closed it: what is read after is dropped
};

}  // namespace

class PhoneServer::Impl {
 public:
  Impl(UiExecutor ui, ServerEvents events)
      : ui_(std::move(ui)), events_(std::move(events)), thread_([this] { io_.run(); }) {
    // A buffer comes back for every read the disk has written: only a read that waits for one is
    // worth a turn of the network thread, and only once half a connection's buffers are free, so
    // that it reads into several at once.
    buffers_->WhenReturned([this](std::size_t ownerHolds) {
      if (ownerHolds <= ReadBuffers::kMostPerConnection / 2 && waitingReads_.load() > 0) {
        asio::post(io_, [this] { ReadWhereWaiting(); });
      }
    });
  }

  ~Impl() {
    lifetime_.End();  // what is queued, or the network thread queues before it stops, does nothing
    buffers_->WhenReturned(nullptr);  // buffers the disk still holds outlive the server
    StopNetwork();
    // The sockets close here, before the io_context they belong to goes.
  }

  void StopNetwork() {
    if (!thread_.joinable()) return;
    work_.reset();
    io_.stop();
    thread_.join();
    // What is still posted to io_ never runs. With the network thread gone the sockets are this
    // thread's to close: phones learn at once that nothing more is read, while what was read is
    // still handed over, its buffers kept.
    asio::error_code ignored;
    acceptor_.close(ignored);
    for (const std::shared_ptr<Connection>& connection : connections_) connection->socket.close(ignored);
  }

  bool Start(std::uint16_t port) {
    if (!thread_.joinable()) return false;  // the network has been stopped
    std::promise<bool> listening;
    asio::post(io_, [&] { listening.set_value(Listen(port)); });
    return listening.get_future().get();
  }

  std::uint16_t port() const { return port_.load(); }

  void Send(ConnectionId id, std::string data) {
    asio::post(io_, [this, id, data = std::move(data)]() mutable {
      const std::shared_ptr<Connection> connection = Find(id);
      if (!connection) {
        ToUi([this, id] { Emit(events_.sendFinished, Client{.id = id, .address = {}}, false); });
        return;
      }
      connection->outgoing.push_back(std::move(data));
      if (connection->outgoing.size() == 1) Write(connection);
    });
  }

  void After(std::chrono::milliseconds delay, UiTask task) {
    asio::post(io_, [this, delay, task = std::move(task)]() mutable {
      auto timer = std::make_shared<asio::steady_timer>(io_, delay);
      timer->async_wait([this, timer, task = std::move(task)](const asio::error_code& ec) mutable {
        if (!ec) ToUi(std::move(task));
      });
    });
  }

  // Closing the socket ends the connection's pending read, or the wait for a buffer; either way
  // its end follows what it had read, through the one path that reports clientGone.
  void Disconnect(ConnectionId id) {
    asio::post(io_, [this, id] {
      if (const std::shared_ptr<Connection> connection = Find(id)) Close(connection);
    });
  }

 private:
  // Everything below runs on the network thread.

  bool Listen(std::uint16_t port) {
    if (acceptor_.is_open()) return false;
    const tcp::endpoint everywhere(tcp::v4(), port);
    asio::error_code ec;
    acceptor_.open(everywhere.protocol(), ec);
    if (!ec) ClaimPort(acceptor_, ec);
    if (!ec) acceptor_.bind(everywhere, ec);
    if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
    if (!ec) port_ = acceptor_.local_endpoint(ec).port();
    if (ec) {
      asio::error_code ignored;
      acceptor_.close(ignored);
      return false;
    }
    Accept();
    return true;
  }

  void Accept() {
    acceptor_.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
      if (ec == asio::error::operation_aborted) return;
      if (!ec) {
        Admit(std::move(socket));
        Accept();
        return;
      }
      // Out of descriptors, say: the connection stays queued and would fail again at once, so
      // wait a little instead of spinning.
      acceptRetry_.expires_after(kAcceptRetryDelay);
      acceptRetry_.async_wait([this](const asio::error_code& waited) {
        if (!waited) Accept();
      });
    });
  }

  void Admit(tcp::socket socket) {
    asio::error_code ec;
    const tcp::endpoint peer = socket.remote_endpoint(ec);
    if (ec || connections_.size() >= kServerConnectionLimit) {
      socket.close(ec);
      return;
    }
    EnableKeepAlive(socket.native_handle());  // without it the connection is merely not probed
    socket.non_blocking(true, ec);  // ReadOn's reads must never wait
    auto connection =
        std::make_shared<Connection>(std::move(socket), Client{.id = ++lastId_, .address = AddressText(peer)});
    connection->nonBlocking = !ec;
    connections_.push_back(connection);
    ToUi([this, client = connection->client] { Emit(events_.clientConnected, client); });
    Read(connection);
  }

  // Each read goes into a buffer of its own and the next one starts at once, while the UI thread
  // handles the last: a read waits only for a buffer, so a slow disk slows the sender through TCP.
  // A read that waits for data holds one buffer, whatever else it could take.
  void Read(const std::shared_ptr<Connection>& connection) {
    if (connection->ended) return;
    // Marked waiting before asking: a buffer that comes back in between then wakes it.
    SetWaiting(*connection, true);
    std::shared_ptr<ReadBuffers::Buffer> buffer = buffers_->Take(connection->client.id);
    if (!buffer) return;
    SetWaiting(*connection, false);
    connection->socket.async_read_some(
        asio::buffer(*buffer),
        [this, connection, buffer](const asio::error_code& ec, std::size_t length) mutable {
          if (ec || length == 0) {
            buffer.reset();
            Gone(connection);
            return;
          }
          std::vector<Connection::Read> reads;
          reads.push_back({std::move(buffer), length});
          ReadOn(*connection, reads);
          Pass(*connection, std::move(reads));
          Read(connection);
        });
  }

  // A full buffer says more is waiting: it is read into the free buffers at once, without a turn
  // of the loop between, so that the reads reach the UI thread, and wake it, together.
  void ReadOn(Connection& connection, std::vector<Connection::Read>& reads) {
    while (connection.nonBlocking && reads.back().length == kReceiveBufferSize &&
           reads.size() < ReadBuffers::kMostPerConnection) {
      std::shared_ptr<ReadBuffers::Buffer> buffer = buffers_->Take(connection.client.id);
      if (!buffer) return;
      asio::error_code ec;
      const std::size_t length = connection.socket.read_some(asio::buffer(*buffer), ec);
      if (ec || length == 0) return;  // nothing waits yet; an end or a failure the next read meets
      reads.push_back({std::move(buffer), length});
    }
  }

  // Queues what was read for the UI thread, starting a task to hand it over unless one is at it.
  // A connection leaves connections_ only once the UI thread has had its end, so the raw pointer
  // stays valid for the task. A shared_ptr in the task would do no better: the UI thread could
  // end up its last owner and destroy the socket off the network thread.
  void Pass(Connection& connection, std::vector<Connection::Read> reads) {
    {
      const std::lock_guard lock(connection.readsMutex);
      for (Connection::Read& read : reads) {
        if (!read.buffer || !connection.refused) connection.reads.push_back(std::move(read));
      }
      if (connection.reads.empty() || std::exchange(connection.handing, true)) return;
    }
    ToUi([this, raw = &connection] { HandOver(*raw); });
  }

  // On the UI thread: the connection's reads, in order, one call at a time. A task hands over at
  // most what one connection may hold, so a fast phone leaves other events their turn; and once
  // the network has stopped nothing more is read, so the task queued by then hands over all.
  void HandOver(Connection& connection) {
    for (std::size_t handed = 0;;) {
      Connection::Read read;
      {
        const std::lock_guard lock(connection.readsMutex);
        const bool more = !connection.reads.empty() &&
                          (!connection.reads.front().buffer || handed < ReadBuffers::kMostPerConnection);
        if (!more) {
          connection.handing = !connection.reads.empty();
          if (!connection.handing) return;
          break;
        }
        read = std::move(connection.reads.front());
        connection.reads.pop_front();
      }
      if (!read.buffer) {
        Emit(events_.clientGone, connection.client);
        asio::post(io_, [this, raw = &connection] { Forget(*raw); });
        return;
      }
      ++handed;
      const bool readOn =
          !events_.dataArrived ||
          events_.dataArrived(connection.client, std::span<const std::uint8_t>(read.buffer->data(), read.length),
                              read.buffer);
      if (!readOn) Refuse(connection);
    }
    ToUi([this, raw = &connection] { HandOver(*raw); });
  }

  // On the UI thread: what the connection has read beyond the refused chunk is dropped, and it is
  // closed; its end still comes.
  void Refuse(Connection& connection) {
    std::deque<Connection::Read> dropped;  // let go of after the lock: a returned buffer may post
    {
      const std::lock_guard lock(connection.readsMutex);
      connection.refused = true;
      dropped.swap(connection.reads);
      // Its end, if it has come, is the last: nothing is read after it.
      if (!dropped.empty() && !dropped.back().buffer) {
        connection.reads.push_back(std::move(dropped.back()));
        dropped.pop_back();
      }
    }
    asio::post(io_, [this, raw = &connection] { Close(raw->shared_from_this()); });
  }

  void Write(const std::shared_ptr<Connection>& connection) {
    asio::async_write(connection->socket, asio::buffer(connection->outgoing.front()),
                      [this, connection](const asio::error_code& ec, std::size_t) {
                        connection->outgoing.pop_front();
                        ToUi([this, client = connection->client, ok = !ec] {
                          Emit(events_.sendFinished, client, ok);
                        });
                        if (!connection->outgoing.empty()) Write(connection);
                      });
  }

  // Its pending read fails, or, with none pending, it is gone at once.
  void Close(const std::shared_ptr<Connection>& connection) {
    asio::error_code ignored;
    connection->socket.close(ignored);
    if (connection->waitingForBuffer) Gone(connection);
  }

  void Gone(const std::shared_ptr<Connection>& connection) {
    if (std::exchange(connection->ended, true)) return;
    SetWaiting(*connection, false);
    asio::error_code ignored;
    connection->socket.close(ignored);
    Pass(*connection, {Connection::Read{}});
  }

  // The UI thread has had the connection's end: nothing refers to it any more.
  void Forget(Connection& connection) {
    std::erase_if(connections_, [&](const std::shared_ptr<Connection>& kept) { return kept.get() == &connection; });
  }

  void SetWaiting(Connection& connection, bool waiting) {
    if (connection.waitingForBuffer == waiting) return;
    connection.waitingForBuffer = waiting;
    waiting ? ++waitingReads_ : --waitingReads_;
  }

  // Read starts a read or marks the connection waiting; it never removes one from connections_.
  void ReadWhereWaiting() {
    for (const std::shared_ptr<Connection>& connection : connections_) {
      if (connection->waitingForBuffer && connection->socket.is_open()) Read(connection);
    }
  }

  // The connection if it is live: one already closed is only waiting to leave.
  std::shared_ptr<Connection> Find(ConnectionId id) const {
    const auto found = std::ranges::find_if(
        connections_, [id](const std::shared_ptr<Connection>& connection) { return connection->client.id == id; });
    if (found == connections_.end() || !(*found)->socket.is_open()) return nullptr;
    return *found;
  }

  // Hands a task to the UI thread; it does nothing if the server is gone by the time it runs.
  void ToUi(UiTask task) { ui_(lifetime_.Guard(std::move(task))); }

  template <typename Handler, typename... Args>
  static void Emit(const Handler& handler, const Args&... args) {
    if (handler) handler(args...);
  }

  UiExecutor ui_;
  ServerEvents events_;
  OwnerLifetime lifetime_;
  std::atomic<std::uint16_t> port_{0};
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_ = asio::make_work_guard(io_);
  tcp::acceptor acceptor_{io_};
  asio::steady_timer acceptRetry_{io_};
  std::vector<std::shared_ptr<Connection>> connections_;
  ConnectionId lastId_ = 0;
  std::shared_ptr<ReadBuffers> buffers_ = std::make_shared<ReadBuffers>();
  std::atomic<std::size_t> waitingReads_{0};  // connections whose next read waits for a buffer
  std::thread thread_;  // declared last: it starts once everything it touches exists
};

PhoneServer::PhoneServer(UiExecutor ui, ServerEvents events)
    : impl_(std::make_unique<Impl>(std::move(ui), std::move(events))) {}

PhoneServer::~PhoneServer() = default;

bool PhoneServer::Start(std::uint16_t port) { return impl_->Start(port); }

std::uint16_t PhoneServer::port() const { return impl_->port(); }

void PhoneServer::Send(ConnectionId connection, std::string data) { impl_->Send(connection, std::move(data)); }

void PhoneServer::Disconnect(ConnectionId connection) { impl_->Disconnect(connection); }

void PhoneServer::After(std::chrono::milliseconds delay, UiTask task) { impl_->After(delay, std::move(task)); }

void PhoneServer::StopNetwork() { impl_->StopNetwork(); }

}  // namespace quenmora::link
