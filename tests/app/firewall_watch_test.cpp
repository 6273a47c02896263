// Which lines the firewall's verdicts give as they come in, and the watch that takes the readings
// on its own thread and hands the lines to the UI thread.
#include "app/firewall_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/firewall_verdict.h"
#include "app/firewall_warnings.h"
#include "app/texts.h"
#include "step_pace.h"
#include "tests/support/test_ui_thread.h"

namespace quenmora::app {
namespace {

using namespace std::chrono_literals;
using V = FirewallVerdict;
using Line = std::optional<std::string_view>;

TEST(FirewallWarnings, ALineWhenTheVerdictTurnsIntoAProblemAndWhenItIsAllowedAgain) {
  const std::string_view blocked = kFirewallBlocked, notAllowed = kFirewallNotAllowed,
                         managed = kFirewallManaged, again = kFirewallAllowedAgain;
  const struct {
    const char* story;
    std::vector<V> verdicts;
    std::vector<Line> lines;
  } cases[] = {
      {"allowed throughout, reading or not", {V::kAllowed, V::kUnknown, V::kAllowed}, {{}, {}, {}}},
      {"Wine: never read", {V::kUnknown, V::kUnknown}, {{}, {}}},
      {"blocked, then the helper run",
       {V::kBlocked, V::kBlocked, V::kAllowed, V::kAllowed},
       {blocked, {}, again, {}}},
      {"a failed reading neither repeats nor takes back a warning",
       {V::kNotAllowed, V::kUnknown, V::kNotAllowed, V::kUnknown, V::kAllowed},
       {notAllowed, {}, {}, {}, again}},
      {"one problem after another", {V::kNotAllowed, V::kBlocked, V::kManaged}, {notAllowed, blocked, managed}},
      {"warned again after being allowed", {V::kBlocked, V::kAllowed, V::kBlocked}, {blocked, again, blocked}},
      {"unknown before the first problem", {V::kUnknown, V::kManaged}, {{}, managed}},
  };
  for (const auto& c : cases) {
    FirewallWarnings warnings;
    std::vector<Line> lines;
    for (const V verdict : c.verdicts) lines.push_back(warnings.LineFor(verdict));
    EXPECT_EQ(lines, c.lines) << c.story;
  }
}

FirewallReading PublicNetworkAllowing(std::string ports) {
  return {.program = u"C:\\quenmora\\quenmora.exe",
          .currentProfiles = {{.type = kFirewallPublic}},
          .rules = {{.protocol = kFirewallTcp, .localPorts = std::move(ports)}}};
}

// Hands out the readings in turn, then none.
FirewallReader Scripted(std::vector<std::optional<FirewallReading>> readings) {
  return [readings = std::move(readings), next = std::size_t{0}]() mutable {
    return next < readings.size() ? readings[next++] : std::nullopt;
  };
}

TEST(FirewallWatch, ReadsAfter30SecondsThenEvery60AndShowsEachLineOnTheUiThread) {
  test_support::TestUiThread ui;
  auto pace = std::make_shared<testing::StepPace>();
  std::vector<std::string> shown;
  std::thread::id shownOn;
  {
    // Judged for the port it is given: allowing 5000 allows the watch of port 5000.
    FirewallWatch watch(Scripted({PublicNetworkAllowing("5000"), PublicNetworkAllowing("80"),
                                  std::nullopt, PublicNetworkAllowing("4000-6000")}),
                        pace);
    watch.Start(5000, ui.executor(), [&](std::string_view line) {
      shown.emplace_back(line);
      shownOn = std::this_thread::get_id();
    });
    for (std::size_t reading = 1; reading <= 4; ++reading) {
      ASSERT_TRUE(pace->WaitForWaits(reading));
      pace->Pass();
    }
    ASSERT_TRUE(pace->WaitForWaits(5));
    ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));
  }
  EXPECT_EQ(pace->waits(), (std::vector<std::chrono::seconds>{30s, 60s, 60s, 60s, 60s}));
  EXPECT_EQ(shown, (std::vector<std::string>{std::string(kFirewallNotAllowed),
                                             std::string(kFirewallAllowedAgain)}));
  EXPECT_EQ(shownOn, std::this_thread::get_id());
}

TEST(FirewallWatch, EndsWithoutWaitingOutItsDelay) {
  test_support::TestUiThread ui;
  const auto started = std::chrono::steady_clock::now();
  {
    FirewallWatch watch(Scripted({}));  // the clock's pace: 30 seconds to the first reading
    watch.Start(3456, ui.executor(), [](std::string_view) {});
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_EQ(ui.pending(), 0u);
}

#ifdef _WIN32
bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

// The platform's own reader, for real: Linux has no Windows firewall, and Wine's answers
// E_NOTIMPL, so either way the verdict is unknown and no line is shown.
TEST(FirewallReader, ThePlatformsReaderGivesNoLineOnLinuxOrUnderWine) {
#ifdef _WIN32
  if (!UnderWine()) GTEST_SKIP() << "a real Windows firewall may well have something to say";
#endif
  FirewallWarnings warnings;
  for (int reading = 0; reading < 2; ++reading) {  // COM taken up and let go each time
    const V verdict = JudgeFirewall(ReadFirewall(), 3456);
    EXPECT_EQ(verdict, V::kUnknown);
    EXPECT_EQ(warnings.LineFor(verdict), std::nullopt);
  }
}

}  // namespace
}  // namespace quenmora::app
