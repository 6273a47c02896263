// The lines that tell the operator which phones came and went, over sequences of connections and
// time, with a clock the test moves.
#include "link/server/phone_presence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/reception/notices.h"
#include "tests/support/manual_timer.h"

namespace quenmora::link {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

struct Step {
  enum Kind { kArrive, kLeave, kClosedByProgram, kWait } kind;
  const char* host = "";
  std::chrono::milliseconds wait{0};
};

Step Arrive(const char* host) { return {Step::kArrive, host}; }
Step Leave(const char* host) { return {Step::kLeave, host}; }
Step Closed(const char* host) { return {Step::kClosedByProgram, host}; }
Step Wait(std::chrono::milliseconds time) { return {Step::kWait, "", time}; }

std::string Connected(const std::string& host, int more = 0) {
  return std::string(kPhoneConnected) + host +
         (more ? std::string(kMoreOfTheKindBefore) + std::to_string(more) + std::string(kMoreOfTheKindAfter) : "");
}
std::string Disconnected(const std::string& host) { return std::string(kPhoneDisconnected) + host; }

TEST(PhonePresence, TellsEachPhoneOnceAsItComesAndGoes) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"a phone that connects and stays", {Arrive("A"), Wait(60s)}, {Connected("A")}},
      {"nothing is shown before the gathering second ends", {Arrive("A"), Wait(999ms)}, {}},
      {"a phone that leaves is told only once it has stayed away",
       {Arrive("A"), Wait(1s), Leave("A"), Wait(9s)}, {Connected("A")}},
      {"…and then it is", {Arrive("A"), Wait(1s), Leave("A"), Wait(11s)}, {Connected("A"), Disconnected("A")}},
      {"a connection per photo is one phone",
       {Arrive("A"), Leave("A"), Wait(3s), Arrive("A"), Leave("A"), Wait(3s), Arrive("A"), Wait(60s)},
       {Connected("A")}},
      {"back within the grace, then gone for good",
       {Arrive("A"), Wait(1s), Leave("A"), Wait(9s), Arrive("A"), Wait(5s), Leave("A"), Wait(11s)},
       {Connected("A"), Disconnected("A")}},
      {"two connections from one phone: it leaves with the last",
       {Arrive("A"), Arrive("A"), Leave("A"), Wait(20s), Leave("A"), Wait(20s)},
       {Connected("A"), Disconnected("A")}},
      {"phones that come within a second are one line",
       {Arrive("A"), Arrive("B"), Arrive("C"), Wait(1s), Arrive("D"), Wait(1s)},
       {Connected("A", 2), Connected("D")}},
      {"a connection the program closed gets no second line, and its phone may come again",
       {Arrive("A"), Wait(1s), Closed("A"), Wait(20s), Arrive("A"), Wait(1s)},
       {Connected("A"), Connected("A")}},
      {"a leave without an arrival is nothing", {Leave("A"), Closed("B"), Wait(20s)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::ManualTimer clock;
    Lines lines;
    PhonePresence presence(clock.timer(), [&](const std::string& line) { lines.push_back(line); });
    for (const Step& step : c.steps) {
      switch (step.kind) {
        case Step::kArrive: presence.Arrived(step.host); break;
        case Step::kLeave: presence.Left(step.host, true); break;
        case Step::kClosedByProgram: presence.Left(step.host, false); break;
        case Step::kWait: clock.Advance(step.wait); break;
      }
    }
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(PhonePresence, NothingRunsOnceItIsGone) {
  test_support::ManualTimer clock;
  Lines lines;
  {
    PhonePresence presence(clock.timer(), [&](const std::string& line) { lines.push_back(line); });
    presence.Arrived("A");
    presence.Left("A", true);
  }
  clock.Advance(20s);
  EXPECT_TRUE(lines.empty());
}

TEST(RosterSentNotice, CountsTheNonEmptyRows) {
  const auto rows = [](std::string_view roster) {
    return RosterSentNotice("10.0.0.9", roster);
  };
  const auto expected = [](int n) {
    return std::string(kRosterSentBeforeRows) + "10.0.0.9" + std::string(kRowsBefore) + std::to_string(n) +
           std::string(kRowsAfter);
  };
  EXPECT_EQ(rows("a\tb"), expected(1));
  EXPECT_EQ(rows("a\r\nb\r\n"), expected(2));
  EXPECT_EQ(rows("\r\na\r\n\r\n\r\nb\r\nc"), expected(3));
  EXPECT_EQ(rows("a\nb\n"), expected(2));  // rows pasted with bare line feeds
  EXPECT_EQ(rows("\r\n"), expected(0));
  EXPECT_EQ(rows(" \r\n"), expected(1));
}

}  // namespace
}  // namespace quenmora::link
