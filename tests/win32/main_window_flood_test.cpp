// The real window while one read brings a flood of refused names: it keeps answering, and its
// information box stays bounded with the addresses on top.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/information_box.h"
#include "app/win32/wide_text.h"
#include "link/notices.h"
#include "main_window_fixture.h"
#include "message_pump.h"
#include "tests/support/test_phone.h"

namespace quenmora::win32 {
namespace {

using namespace std::chrono_literals;
using app::MainControl;
using test_support::ExpectedInformation;
using test_support::MainWindowTest;
using test_support::PumpUntil;

// Asks the window for a trivial answer again and again from another thread, as input would,
// and counts the times it took longer than a second.
class ResponsivenessProbe {
 public:
  explicit ResponsivenessProbe(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
              ++unanswered_;
            Sleep(10);
          }
        }) {}
  ~ResponsivenessProbe() { Stop(); }

  int Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return unanswered_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> unanswered_{0};
  std::thread thread_;
};

TEST_F(MainWindowTest, AnswersWithinASecondWhileAReadFullOfRefusedNamesIsHandled) {
  ASSERT_TRUE(PumpUntil([&] { return TextOf(MainControl::编辑框1) == ExpectedInformation(); }));
  // Merged messages, each of which counts at a message boundary: one 256 KiB write.
  constexpr std::string_view kRefused = "STAT||..%2FxEND||";
  std::string flood;
  while (flood.size() + kRefused.size() <= 256 * 1024) flood += kRefused;

  quenmora::test_support::TestPhone phone(logic.phoneLink().port());
  ResponsivenessProbe probe(window.window());
  std::atomic<bool> written{false};
  // Off the window's thread: the server reads on only as the window handles what it read.
  std::thread writer([&] {
    try {
      phone.Write(flood);
    } catch (const std::exception&) {
      // The program may close a connection that sends this much nonsense.
    }
    written = true;
  });
  // Handled: everything is written and the count has stood still for a second.
  std::wstring count;
  auto countSince = std::chrono::steady_clock::now();
  const bool handled = PumpUntil(
      [&] {
        if (TextOf(MainControl::标签4) != count) {
          count = TextOf(MainControl::标签4);
          countSince = std::chrono::steady_clock::now();
        }
        return written && std::chrono::steady_clock::now() - countSince > 1s;
      },
      120s);
  const int unanswered = probe.Stop();
  writer.join();
  ASSERT_TRUE(handled);

  EXPECT_EQ(unanswered, 0) << "times the window took more than a second to answer";
  EXPECT_NE(count, L"0");
  const std::string box = Gbk(TextOf(MainControl::编辑框1));
  EXPECT_LT(box.size(), app::InformationBox::kLimit);
  EXPECT_TRUE(box.starts_with(Gbk(ExpectedInformation()) + "\r\n")) << box.substr(0, 200);
  // The refusals of each read are one line, and the flood ends with its connection closed.
  const std::size_t lastLine = box.rfind("\r\n", box.size() - 3);
  const std::size_t lineBefore = box.rfind("\r\n", lastLine - 1);
  EXPECT_TRUE(box.substr(lastLine + 2).starts_with(std::string(link::kFloodingConnectionClosed)))
      << box.substr(lastLine + 2);
  const std::string refusals = box.substr(lineBefore + 2, lastLine - lineBefore - 2);
  EXPECT_TRUE(refusals.starts_with(std::string(link::kNameRefused) + "../x") &&
              refusals.ends_with(std::string(link::kMoreOfTheKindAfter)))
      << refusals;
  EXPECT_EQ(SendMessageW(Control(MainControl::编辑框1), EM_GETFIRSTVISIBLELINE, 0, 0), 0)
      << "the addresses stay in view";
}

}  // namespace
}  // namespace quenmora::win32
