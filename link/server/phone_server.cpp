#include "link/server/phone_server.h"

#include <algorithm>
#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <list>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "link/server/keep_alive.h"

// How a read travels, in the shape of Asio's HTTP server example:
//  1. Network thread. A Connection takes a buffer from the pool and reads into it. With no buffer
//     free it waits in the server's one list, and a buffer coming back resumes it.
//  2. Network thread. What it read joins the connection's Handover, and it reads again at once.
//  3. UI thread. A task hands the Handover's reads to dataArrived, one call at a time, in order,
//     and only one such task per connection is queued at a time. The connection's end comes last,
//     as clientGone.
// The buffer goes back to the pool once the last holder of its bytes, the disk thread, lets go.

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

// What one read brought, on its way to the UI thread; one without a buffer is the connection's end.
struct Chunk {
  std::shared_ptr<ReadBuffers::Buffer> buffer;
  std::size_t length = 0;
};

// A connection's reads between the two threads, the one thing they share, under its own lock.
class Handover {
 public:
  // Network thread. True when a task must be queued to hand the reads over: none is at it.
  bool Add(Chunk read) {
    const std::lock_guard lock(mutex_);
    reads_.push_back(std::move(read));
    return !std::exchange(handing_, true);
  }
  // UI thread, inside that task: the oldest read, or none, which ends the task.
  std::optional<Chunk> Next() {
    const std::lock_guard lock(mutex_);
    if (reads_.empty()) {
      handing_ = false;
      return std::nullopt;
    }
    Chunk read = std::move(reads_.front());
    reads_.pop_front();
    return read;
  }

 private:
  std::mutex mutex_;
  std::deque<Chunk> reads_;  // oldest first
  bool handing_ = false;    // a task is queued or running
};

}  // namespace

class PhoneServer::Impl {
 public:
  // Constructor, destructor and the public functions: the UI thread.
  Impl(UiExecutor ui, ServerEvents events)
      : ui_(std::move(ui)), events_(std::move(events)), thread_([this] { io_.run(); }) {
    buffers_->WhenReturned([this] {
      if (waiting_.load() > 0) asio::post(io_, [this] { ResumeWaiting(); });
    });
  }

  ~Impl() {
    lifetime_.End();  // what is queued, or the network thread queues before it stops, does nothing
    buffers_->WhenReturned(nullptr);  // buffers the disk still holds outlive the server
    StopNetwork();
    // The connections, and their sockets, go here, before the io_context they belong to.
  }

  // The network thread closes everything and ends once each operation has been cancelled. Closed
  // from another thread once the network thread had stopped, with its accept never completed, a
  // listening socket under Wine still took a connection now and then (3 stops in 200).
  void StopNetwork() {
    if (!thread_.joinable()) return;
    asio::post(io_, [this] { CloseEverything(); });
    work_.reset();
    thread_.join();
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
      if (const std::shared_ptr<Connection> connection = Find(id)) return connection->Send(std::move(data));
      ToUi([this, id] { Emit(events_.sendFinished, Client{.id = id, .address = {}}, false); });
    });
  }

  void After(std::chrono::milliseconds delay, UiTask task) {
    asio::post(io_, [this, delay, task = std::move(task)]() mutable {
      if (stopping_) return;
      const auto timer = timers_.emplace(timers_.end(), io_, delay);
      timer->async_wait([this, timer, task = std::move(task)](const asio::error_code& ec) mutable {
        timers_.erase(timer);
        if (!ec) ToUi(std::move(task));
      });
    });
  }

  void Disconnect(ConnectionId id) {
    asio::post(io_, [this, id] {
      if (const std::shared_ptr<Connection> connection = Find(id)) connection->Close();
    });
  }

 private:
  // One accepted connection. Every function runs on the network thread, but for the handover and
  // `refused`, which are the UI thread's (see HandOver).
  class Connection : public std::enable_shared_from_this<Connection> {
   public:
    Connection(Impl& server, tcp::socket connected, Client peer)
        : client(std::move(peer)), server_(server), socket_(std::move(connected)) {}

    // Takes a buffer, reads into it, hands what it read over and reads again, until the socket
    // fails or closes; then hands over its end. Without a free buffer it waits for one.
    void Read() {
      if (ended_ || server_.stopping_) return;
      // Counted as waiting before asking: a buffer that comes back in between then resumes it.
      ++server_.waiting_;
      std::shared_ptr<ReadBuffers::Buffer> buffer = server_.buffers_->Take(client.id);
      if (!buffer) return server_.waitingForBuffer_.push_back(shared_from_this());
      --server_.waiting_;
      socket_.async_read_some(asio::buffer(*buffer), [self = shared_from_this(), buffer](
                                                         const asio::error_code& ec, std::size_t length) mutable {
        if (ec || length == 0) return self->End();
        self->server_.Pass(*self, {std::move(buffer), length});
        self->Read();
      });
    }

    void Send(std::string data) {
      outgoing_.push_back(std::move(data));
      if (outgoing_.size() == 1) Write();
    }

    // Its pending read fails and ends it; one that waits for a buffer ends at once.
    void Close() {
      asio::error_code ignored;
      socket_.close(ignored);
      if (server_.StopWaiting(*this)) End();
    }

    bool open() const { return socket_.is_open(); }

    const Client client;
    Handover handover;
    bool refused = false;  // UI thread: the link closed it, so what it still read is dropped

   private:
    void Write() {
      asio::async_write(socket_, asio::buffer(outgoing_.front()),
                        [self = shared_from_this()](const asio::error_code& ec, std::size_t) {
                          self->outgoing_.pop_front();
                          self->server_.ToUi([&server = self->server_, client = self->client, ok = !ec] {
                            Emit(server.events_.sendFinished, client, ok);
                          });
                          if (!self->outgoing_.empty()) self->Write();
                        });
    }

    // Once the network stops, nothing more is reported: the UI thread has the reads made before.
    void End() {
      if (std::exchange(ended_, true)) return;
      asio::error_code ignored;
      socket_.close(ignored);
      if (!server_.stopping_) server_.Pass(*this, Chunk{});
    }

    Impl& server_;
    tcp::socket socket_;
    std::deque<std::string> outgoing_;  // the front one is being written
    bool ended_ = false;                // its end is on the way: nothing more is read
  };

  // Network thread from here to ToUi, but for HandOver.

  bool Listen(std::uint16_t port) {
    if (acceptor_.is_open() || stopping_) return false;
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
      if (ec == asio::error::operation_aborted || stopping_) return;
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
    auto connection =
        std::make_shared<Connection>(*this, std::move(socket), Client{.id = ++lastId_, .address = AddressText(peer)});
    connections_.push_back(connection);
    ToUi([this, client = connection->client] { Emit(events_.clientConnected, client); });
    connection->Read();
  }

  // Queues a task to hand the connection's reads over, unless one is at it. A connection leaves
  // connections_ only once the UI thread has had its end, so the raw pointer stays valid for the
  // task. A shared_ptr in the task would do no better: the UI thread could end up its last owner
  // and destroy the socket off the network thread.
  void Pass(Connection& connection, Chunk read) {
    if (connection.handover.Add(std::move(read))) ToUi([this, raw = &connection] { HandOver(*raw); });
  }

  // UI thread: the connection's reads, in order, one call at a time. A task hands over at most
  // what one connection may hold, so a fast phone leaves other events their turn; the rest goes to
  // a task of its own behind them.
  void HandOver(Connection& connection) {
    for (std::size_t handed = 0; handed < ReadBuffers::kMostPerConnection; ++handed) {
      std::optional<Chunk> read = connection.handover.Next();
      if (!read) return;
      if (!read->buffer) {
        Emit(events_.clientGone, connection.client);
        asio::post(io_, [this, raw = &connection] { Forget(*raw); });
        return;
      }
      // The one place where what a refused connection still read is dropped.
      if (connection.refused) continue;
      const std::span<const std::uint8_t> chunk(read->buffer->data(), read->length);
      if (events_.dataArrived && !events_.dataArrived(connection.client, chunk, read->buffer)) {
        connection.refused = true;
        asio::post(io_, [raw = &connection] { raw->Close(); });
      }
    }
    ToUi([this, raw = &connection] { HandOver(*raw); });
  }

  // The UI thread has had the connection's end: nothing refers to it any more.
  void Forget(Connection& connection) {
    std::erase_if(connections_, [&](const std::shared_ptr<Connection>& kept) { return kept.get() == &connection; });
  }

  // The connections that wait for a buffer read again; those still without one wait on.
  void ResumeWaiting() {
    for (const std::shared_ptr<Connection>& connection : std::exchange(waitingForBuffer_, {})) {
      --waiting_;
      connection->Read();
    }
  }

  // Whether the connection waited for a buffer; it does no more.
  bool StopWaiting(Connection& connection) {
    const auto found = std::ranges::find_if(
        waitingForBuffer_, [&](const std::shared_ptr<Connection>& waiting) { return waiting.get() == &connection; });
    if (found == waitingForBuffer_.end()) return false;
    waitingForBuffer_.erase(found);
    --waiting_;
    return true;
  }

  // Every socket and timer closes: their operations end, and with them the network thread.
  void CloseEverything() {
    stopping_ = true;
    asio::error_code ignored;
    acceptor_.close(ignored);
    acceptRetry_.cancel();
    for (asio::steady_timer& timer : timers_) timer.cancel();
    for (const std::shared_ptr<Connection>& connection : connections_) connection->Close();
  }

  // The connection if it is live: one already closed is only waiting to leave.
  std::shared_ptr<Connection> Find(ConnectionId id) const {
    const auto found = std::ranges::find_if(
        connections_, [id](const std::shared_ptr<Connection>& connection) { return connection->client.id == id; });
    if (found == connections_.end() || !(*found)->open()) return nullptr;
    return *found;
  }

  // Any thread: hands a task to the UI thread; it does nothing if the server is gone by then.
  void ToUi(UiTask task) { ui_(lifetime_.Guard(std::move(task))); }

  template <typename Handler, typename... Args>
  static void Emit(const Handler& handler, const Args&... args) {
    if (handler) handler(args...);
  }

  UiExecutor ui_;
  ServerEvents events_;
  OwnerLifetime lifetime_;
  std::atomic<std::uint16_t> port_{0};
  std::shared_ptr<ReadBuffers> buffers_ = std::make_shared<ReadBuffers>();
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_ = asio::make_work_guard(io_);
  // The rest is the network thread's, but for `waiting_`, which the returning threads read.
  tcp::acceptor acceptor_{io_};
  asio::steady_timer acceptRetry_{io_};
  std::list<asio::steady_timer> timers_;  // After's, until they fire
  std::vector<std::shared_ptr<Connection>> connections_;
  std::vector<std::shared_ptr<Connection>> waitingForBuffer_;
  std::atomic<std::size_t> waiting_{0};  // connections counted as waiting for a buffer
  ConnectionId lastId_ = 0;
  bool stopping_ = false;
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
