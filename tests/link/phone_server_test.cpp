#include "link/server/phone_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "link/server/keep_alive.h"
#include "tests/support/server_side_socket.h"
#include "tests/support/test_phone.h"
#include "tests/support/test_ui_thread.h"

namespace quenmora::link {
namespace {

using namespace std::chrono_literals;
using test_support::TestPhone;
using test_support::TestUiThread;

// Records every event in the order the UI thread saw it.
struct EventLog {
  std::vector<std::string> events;  // "connected a", "data a", "gone a"
  std::map<std::string, std::string> received;
  std::map<std::string, ConnectionId> ids;  // by address
  std::vector<std::pair<ConnectionId, bool>> sendResults;

  std::size_t Count(const std::string& event) const {
    return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
  }
};

class PhoneServerTest : public ::testing::Test {
 protected:
  PhoneServerTest() { StartServer(); }

  // A fresh server and log.
  void StartServer() {
    server.reset();
    log = {};
    ServerEvents events;
    events.clientConnected = [this](const Client& client) {
      log.events.push_back("connected " + client.address);
      log.ids[client.address] = client.id;
    };
    events.dataArrived = [this](const Client& client, std::span<const std::uint8_t> chunk,
                                const std::shared_ptr<const void>& keep) {
      log.events.push_back("data " + client.address);
      log.received[client.address].append(chunk.begin(), chunk.end());
      if (keepChunks) kept.push_back(keep);
      return !onData || onData(chunk);
    };
    events.clientGone = [this](const Client& client) {
      log.events.push_back("gone " + client.address);
    };
    events.sendFinished = [this](const Client& client, bool ok) {
      log.sendResults.emplace_back(client.id, ok);
    };
    server = std::make_unique<PhoneServer>(ui.executor(), events);
    EXPECT_TRUE(server->Start(0));
  }

  bool WaitFor(const std::function<bool()>& done) { return ui.RunUntil(done); }

  std::unique_ptr<TestPhone> Connect() {
    auto phone = std::make_unique<TestPhone>(server->port());
    EXPECT_TRUE(WaitFor([&] { return log.Count("connected " + phone->address()) == 1; }));
    return phone;
  }

  TestUiThread ui;  // outlives the server, whose network thread feeds it
  EventLog log;
  // Returns whether to read on.
  std::function<bool(std::span<const std::uint8_t>)> onData;
  // Holds every chunk's buffer, as a disk that does not get on with its writes would.
  bool keepChunks = false;
  std::vector<std::shared_ptr<const void>> kept;
  std::unique_ptr<PhoneServer> server;
};

TEST_F(PhoneServerTest, ReportsConnectionDataAndOneGoneAfterTheLastChunk) {
  TestPhone phone(server->port());
  const std::string client = phone.address();
  ASSERT_TRUE(WaitFor([&] { return log.Count("connected " + client) == 1; }));
  phone.Write("hello ");
  ASSERT_TRUE(WaitFor([&] { return log.received[client] == "hello "; }));
  phone.Write("world");
  phone.Close();
  ASSERT_TRUE(WaitFor([&] { return log.Count("gone " + client) == 1; }));
  ui.RunFor(100ms);
  EXPECT_EQ(log.received[client], "hello world");
  EXPECT_EQ(log.Count("gone " + client), 1u);
  EXPECT_EQ(log.events.front(), "connected " + client);
  EXPECT_EQ(log.events.back(), "gone " + client);
}

TEST_F(PhoneServerTest, HandsNoFurtherChunkOverUntilTheHandlerHasReturned) {
  std::string sent(1 << 20, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 % 251);
  std::size_t largestChunk = 0;
  std::size_t chunksQueuedBehind = 0;
  onData = [&](std::span<const std::uint8_t> chunk) {
    largestChunk = std::max(largestChunk, chunk.size());
    // A server that handed over what it read at once would have queued the next chunk by now.
    std::this_thread::sleep_for(2ms);
    chunksQueuedBehind += ui.pending();
    return true;
  };
  TestPhone phone(server->port());
  const std::string client = phone.address();
  std::thread writer([&] {
    try {
      phone.Write(sent);
    } catch (const std::system_error&) {  // the server went away: the test fails below anyway
    }
  });
  const bool all = WaitFor([&] { return log.received[client].size() == sent.size(); });
  server.reset();  // unblocks the writer whatever happened
  writer.join();
  ASSERT_TRUE(all);
  EXPECT_TRUE(log.received[client] == sent);  // intact and in order (too long to print)
  EXPECT_EQ(chunksQueuedBehind, 0u);
  EXPECT_LE(largestChunk, kReceiveBufferSize);
  EXPECT_GT(log.Count("data " + client), 1u);
}

TEST_F(PhoneServerTest, SendsQueueInOrderAndEachReportsItsResult) {
  TestPhone phone(server->port());
  const std::string client = phone.address();
  ASSERT_TRUE(WaitFor([&] { return log.Count("connected " + client) == 1; }));
  const ConnectionId id = log.ids.at(client);
  constexpr ConnectionId kNobody = 1000000;
  server->Send(id, "one,");
  server->Send(id, std::string(200000, 'x'));
  server->Send(id, "three");
  server->Send(kNobody, "nobody");
  EXPECT_TRUE(phone.Read(4 + 200000 + 5) == "one," + std::string(200000, 'x') + "three");
  ASSERT_TRUE(WaitFor([&] { return log.sendResults.size() == 4; }));
  const auto results = [&](ConnectionId to, bool ok) {
    return std::count(log.sendResults.begin(), log.sendResults.end(), std::make_pair(to, ok));
  };
  EXPECT_EQ(results(id, true), 3);
  EXPECT_EQ(results(kNobody, false), 1);
}

// While the chunks' buffers are held (a disk that does not get on with its writes), each
// connection's reads stop at its bound and all of them together at theirs; once the buffers come
// back, every byte arrives, in order.
TEST_F(PhoneServerTest, HeldChunksStopTheReadsAtTheBoundsUntilTheyComeBack) {
  constexpr std::size_t kPhones = 20;
  const std::string sent = std::string(2 << 20, 'x') + "end";
  keepChunks = true;
  std::vector<std::unique_ptr<TestPhone>> phones;
  std::vector<std::thread> writers;
  for (std::size_t i = 0; i < kPhones; ++i) phones.push_back(Connect());
  for (auto& phone : phones) {
    writers.emplace_back([&sent, phone = phone.get()] {
      try {
        phone->Write(sent);
      } catch (const std::system_error&) {  // the server went away: the test fails below anyway
      }
    });
  }
  const auto received = [&] {
    std::size_t total = 0, most = 0;
    for (const auto& phone : phones) {
      total += log.received[phone->address()].size();
      most = std::max(most, log.received[phone->address()].size());
    }
    return std::pair(total, most);
  };
  const std::size_t bound = ReadBuffers::kMostInAll * kReceiveBufferSize;
  ASSERT_TRUE(WaitFor([&] { return received().first >= (2u << 20); }));
  ui.RunFor(300ms);
  EXPECT_LE(received().first, bound);
  EXPECT_LE(received().second, ReadBuffers::kMostPerConnection * kReceiveBufferSize);

  keepChunks = false;
  kept.clear();
  const bool all = WaitFor([&] { return received().first == kPhones * sent.size(); });
  server.reset();  // unblocks the writers whatever happened
  for (std::thread& writer : writers) writer.join();
  ASSERT_TRUE(all);
  for (const auto& phone : phones) EXPECT_TRUE(log.received[phone->address()] == sent);
}

TEST_F(PhoneServerTest, ASecondServerCannotListenOnTheSamePort) {
  TestUiThread otherUi;
  PhoneServer second(otherUi.executor(), {});
  EXPECT_FALSE(second.Start(server->port()));
  // The first one still works.
  TestPhone phone(server->port());
  EXPECT_TRUE(WaitFor([&] { return log.Count("connected " + phone.address()) == 1; }));
}

// The safety limit: beyond it a connection is closed at once and never reported. A place that
// Disconnect frees is taken by the next phone.
TEST_F(PhoneServerTest, ConnectionsBeyondTheSafetyLimitAreClosedUnannounced) {
  std::vector<std::unique_ptr<TestPhone>> phones;
  for (std::size_t i = 0; i < kServerConnectionLimit; ++i) {
    phones.push_back(std::make_unique<TestPhone>(server->port()));
  }
  ASSERT_TRUE(WaitFor([&] { return log.events.size() == kServerConnectionLimit; }));
  TestPhone extra(server->port());
  EXPECT_TRUE(extra.ClosedByServer(5s));
  ui.RunFor(50ms);
  EXPECT_EQ(log.Count("connected " + extra.address()), 0u);

  const std::string leaving = phones.front()->address();
  server->Disconnect(log.ids.at(leaving));
  EXPECT_TRUE(phones.front()->ClosedByServer(5s));
  ASSERT_TRUE(WaitFor([&] { return log.Count("gone " + leaving) == 1; }));
  TestPhone next(server->port());
  EXPECT_TRUE(WaitFor([&] { return log.Count("connected " + next.address()) == 1; }));
}

// However the server ends a connection, the phone sees it closed, the chunk already read is handed
// over first, and exactly one clientGone comes last.
TEST_F(PhoneServerTest, AConnectionTheServerClosesIsGoneOnceAfterItsLastChunk) {
  enum class Ending { kHandlerRefusesChunk, kDisconnectWhileReading, kDisconnectWithChunkQueued };
  for (const Ending ending :
       {Ending::kHandlerRefusesChunk, Ending::kDisconnectWhileReading, Ending::kDisconnectWithChunkQueued}) {
    SCOPED_TRACE(static_cast<int>(ending));
    onData = [ending](std::span<const std::uint8_t>) { return ending != Ending::kHandlerRefusesChunk; };
    auto phone = Connect();
    const std::string client = phone->address();
    phone->Write("chunk");
    if (ending == Ending::kDisconnectWithChunkQueued) {
      ASSERT_TRUE(ui.WaitForPending(1));
      server->Disconnect(log.ids.at(client));
    } else {
      ASSERT_TRUE(WaitFor([&] { return log.received[client] == "chunk"; }));
      if (ending == Ending::kDisconnectWhileReading) server->Disconnect(log.ids.at(client));
    }
    EXPECT_TRUE(phone->ClosedByServer(5s));
    ASSERT_TRUE(WaitFor([&] { return log.Count("gone " + client) == 1; }));
    ui.RunFor(50ms);
    EXPECT_EQ(log.received[client], "chunk");
    EXPECT_EQ(log.Count("gone " + client), 1u);
    EXPECT_EQ(log.events.back(), "gone " + client);
  }
}

// Once the network has stopped, the phones see their connections closed and new ones refused;
// events queued before still run, chunks included, and nothing is reported after them.
// Destroying the server drops what is queued instead.
TEST_F(PhoneServerTest, QueuedEventsRunAfterTheNetworkStopsButNotOnceTheServerIsDestroyed) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy);
    StartServer();
    const std::uint16_t port = server->port();
    TestPhone phone(port);
    phone.Write("queued");
    ASSERT_TRUE(ui.WaitForPending(2));  // connected and the chunk
    if (destroy) {
      server.reset();
    } else {
      server->StopNetwork();
      server->StopNetwork();  // a second stop, from a destructor say, is harmless
    }
    EXPECT_TRUE(phone.ClosedByServer(5s));
    asio::io_context io;
    asio::ip::tcp::socket late(io);
    asio::error_code refused;
    late.connect({asio::ip::make_address_v4("127.0.0.1"), port}, refused);
    EXPECT_TRUE(refused);
    ui.RunFor(200ms);
    const std::vector<std::string> expected = {"connected " + phone.address(), "data " + phone.address()};
    EXPECT_EQ(log.events, destroy ? std::vector<std::string>{} : expected);
    EXPECT_EQ(log.received[phone.address()], destroy ? "" : "queued");
  }
}

#ifdef __linux__
// The kernel gives the server's side of an idle connection a timer: kind 2, keep-alive, due within
// the idle time. Without keep-alive it would have none.
TEST_F(PhoneServerTest, AcceptedConnectionsAreProbedWhenIdle) {
  auto phone = Connect();
  const std::string address = phone->address();
  const auto phonePort = static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
  const std::optional<test_support::ServerSideSocket> side = test_support::FindServerSide(server->port(), phonePort);
  ASSERT_TRUE(side.has_value());
  EXPECT_EQ(side->timerKind, 2);
  EXPECT_GT(side->timerDueSeconds, static_cast<double>(kKeepAliveIdle.count()) / 2);
  EXPECT_LE(side->timerDueSeconds, static_cast<double>(kKeepAliveIdle.count()));
}
#endif

}  // namespace
}  // namespace quenmora::link
