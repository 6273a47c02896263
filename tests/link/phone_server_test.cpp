#include "link/phone_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <thread>
#include <vector>

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
  std::vector<std::pair<std::string, bool>> sendResults;

  std::size_t Count(const std::string& event) const {
    return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
  }
};

class PhoneServerTest : public ::testing::Test {
 protected:
  PhoneServerTest() {
    ServerEvents events;
    events.clientConnected = [this](const std::string& client) {
      log.events.push_back("connected " + client);
    };
    events.dataArrived = [this](const std::string& client, std::span<const std::uint8_t> chunk) {
      log.events.push_back("data " + client);
      log.received[client].append(chunk.begin(), chunk.end());
      if (onData) onData(chunk);
    };
    events.clientGone = [this](const std::string& client) {
      log.events.push_back("gone " + client);
    };
    events.sendFinished = [this](const std::string& client, bool ok) {
      log.sendResults.emplace_back(client, ok);
    };
    server = std::make_unique<PhoneServer>(ui.executor(), events);
    EXPECT_TRUE(server->Start(0));
  }

  bool WaitFor(const std::function<bool()>& done) { return ui.RunUntil(done); }

  TestUiThread ui;  // outlives the server, whose network thread feeds it
  EventLog log;
  std::function<void(std::span<const std::uint8_t>)> onData;
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

TEST_F(PhoneServerTest, ReadsNoFurtherUntilTheHandlerHasReturned) {
  std::string sent(1 << 20, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 % 251);
  std::size_t largestChunk = 0;
  std::size_t chunksQueuedBehind = 0;
  onData = [&](std::span<const std::uint8_t> chunk) {
    largestChunk = std::max(largestChunk, chunk.size());
    // A server that read ahead would have queued the next chunk while this one is handled.
    std::this_thread::sleep_for(2ms);
    chunksQueuedBehind += ui.pending();
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
  server->Send(client, "one,");
  server->Send(client, std::string(200000, 'x'));
  server->Send(client, "three");
  server->Send("127.0.0.1:1", "nobody");
  EXPECT_TRUE(phone.Read(4 + 200000 + 5) == "one," + std::string(200000, 'x') + "three");
  ASSERT_TRUE(WaitFor([&] { return log.sendResults.size() == 4; }));
  const auto results = [&](const std::string& to, bool ok) {
    return std::count(log.sendResults.begin(), log.sendResults.end(), std::make_pair(to, ok));
  };
  EXPECT_EQ(results(client, true), 3);
  EXPECT_EQ(results("127.0.0.1:1", false), 1);
}

TEST_F(PhoneServerTest, ASecondServerCannotListenOnTheSamePort) {
  TestUiThread otherUi;
  PhoneServer second(otherUi.executor(), {});
  EXPECT_FALSE(second.Start(server->port()));
  // The first one still works.
  TestPhone phone(server->port());
  EXPECT_TRUE(WaitFor([&] { return log.Count("connected " + phone.address()) == 1; }));
}

TEST_F(PhoneServerTest, ConnectionsBeyondSixtyFourAreClosedUnannounced) {
  std::vector<std::unique_ptr<TestPhone>> phones;
  for (int i = 0; i < 64; ++i) phones.push_back(std::make_unique<TestPhone>(server->port()));
  ASSERT_TRUE(WaitFor([&] { return log.events.size() == 64; }));
  TestPhone extra(server->port());
  EXPECT_TRUE(extra.ClosedByServer(5s));
  ui.RunFor(50ms);
  EXPECT_EQ(log.Count("connected " + extra.address()), 0u);

  // A place that frees up is taken by the next phone.
  const std::string leaving = phones.front()->address();
  phones.front()->Close();
  ASSERT_TRUE(WaitFor([&] { return log.Count("gone " + leaving) == 1; }));
  TestPhone next(server->port());
  EXPECT_TRUE(WaitFor([&] { return log.Count("connected " + next.address()) == 1; }));
}

TEST_F(PhoneServerTest, EventsQueuedWhenTheServerIsDestroyedAreDropped) {
  TestPhone phone(server->port());
  phone.Write("late");
  phone.Close();
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (ui.pending() < 2 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_GE(ui.pending(), 2u);  // connected and the chunk, at least
  server.reset();
  ui.RunFor(50ms);
  EXPECT_TRUE(log.events.empty());
}

}  // namespace
}  // namespace quenmora::link
