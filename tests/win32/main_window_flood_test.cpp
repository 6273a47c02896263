// The real window while one read brings a flood of refused names, or while the disk stalls: it
// keeps answering, and its information box stays bounded with the addresses on top. And closed
// with reads still waiting for it: it handles them first.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <span>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/information_box.h"
#include "app/win32/wide_text.h"
#include "link/reception/file_layer.h"
#include "link/reception/notices.h"
#include "text/codepage.h"
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
// and times each answer: how many took longer than a second, and the longest.
class ResponsivenessProbe {
 public:
  struct Answers {
    int slow = 0;  // took longer than a second
    std::chrono::milliseconds longest{0};
  };

  explicit ResponsivenessProbe(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            const auto asked = std::chrono::steady_clock::now();
            DWORD_PTR result = 0;
            // Long enough to time a window that hangs for seconds.
            const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
            {
              const std::lock_guard lock(mutex_);
              if (!answered || took > 1s) ++answers_.slow;
              answers_.longest = std::max(answers_.longest, took);
            }
            Sleep(10);
          }
          ended_ = true;
        }) {}
  ~ResponsivenessProbe() { Stop(); }

  // On the window's thread, which answers the last question while it waits: a join alone would
  // leave a question asked meanwhile unanswered until it times out.
  Answers Stop() {
    stop_ = true;
    test_support::PumpUntil([this] { return ended_.load(); }, std::chrono::seconds(60));
    if (thread_.joinable()) thread_.join();
    const std::lock_guard lock(mutex_);
    return answers_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  std::mutex mutex_;
  Answers answers_;
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
  const ResponsivenessProbe::Answers answers = probe.Stop();
  writer.join();
  ASSERT_TRUE(handled);

  EXPECT_EQ(answers.slow, 0) << "the longest answer took " << answers.longest.count() << " ms";
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

// A disk whose first write takes five seconds, as a share that drops for a moment does.
class StallingDisk : public link::FileLayer {
 public:
  bool Append(link::OutputFile& file, std::span<const std::uint8_t> bytes) override {
    if (!stalled_.exchange(true)) Sleep(5000);
    return file.Append(bytes);
  }

 private:
  std::atomic<bool> stalled_{false};
};

// The real window receiving into a directory of its own, on the given disk.
class MainWindowIntoADirectoryTest : public ::testing::Test {
 protected:
  explicit MainWindowIntoADirectoryTest(std::shared_ptr<link::FileLayer> files = nullptr) {
    std::filesystem::create_directories(directory);
    app::MainWindowSources sources = test_support::TestSources();
    sources.receiveDirectory = text::Utf16ToMultiByte(directory.u16string(), text::kCodePageGbk);
    sources.files = std::move(files);
    logic = std::make_unique<app::MainWindow>(window, window.executor(), std::move(sources));
    window.HandEventsTo(*logic);
  }
  ~MainWindowIntoADirectoryTest() override {
    logic.reset();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }

  void Open() {
    const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    ASSERT_TRUE(window.Open(SW_SHOWNORMAL));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(window.control(MainControl::编辑框1)) == ExpectedInformation(); }));
  }

  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / ("quenmora-window-disk-" + std::to_string(GetCurrentProcessId()));
  test_support::RecordingMainWindow window{GetModuleHandleW(nullptr)};
  std::unique_ptr<app::MainWindow> logic;
};

// Closing while what a phone sent waits for the window: the window's thread pumps nothing while a
// whole photo is read, then the window is closed, and the photo is whole on disk.
TEST_F(MainWindowIntoADirectoryTest, AClosedWindowKeepsThePhotoItHadReadButNotYetHandled) {
  Open();
  std::string photo = "\xFF\xD8\xFF\xE0";
  for (unsigned i = 0; photo.size() < 50000; ++i) photo.push_back(static_cast<char>(i * 7919u >> 3));
  quenmora::test_support::TestPhone phone(logic->phoneLink().port());
  phone.Write("STAT||held.jpg" + photo + "END||");
  // Each task queued for the window posts it a message; taking them, undispatched, leaves the
  // tasks queued. The phone's connection and the read that brought the photo make two.
  int queued = 0;
  MSG message;
  for (int waits = 0; queued < 2 && waits < 1000; ++waits) {
    while (PeekMessageW(&message, window.window(), UiQueue::kRunTasks, UiQueue::kRunTasks, PM_REMOVE)) ++queued;
    Sleep(10);
  }
  Sleep(300);  // for a read the photo might have been cut into
  ASSERT_GE(queued, 2);
  EXPECT_FALSE(std::filesystem::exists(directory / "held.jpg"));

  SendMessageW(window.window(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window.window()));
  EXPECT_TRUE(phone.ClosedByServer(5s));
  EXPECT_TRUE(logic->WaitUntilWritten());
  std::ifstream held(directory / "held.jpg", std::ios::binary);
  EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(held), {}) == photo);
  EXPECT_EQ(window.messages, std::vector<std::string>{});
}

class MainWindowOnAStallingDiskTest : public MainWindowIntoADirectoryTest {
 protected:
  MainWindowOnAStallingDiskTest() : MainWindowIntoADirectoryTest(std::make_shared<StallingDisk>()) {}
};

TEST_F(MainWindowOnAStallingDiskTest, AnswersWithinASecondWhileAWriteIsHeldForFiveSeconds) {
  Open();
  std::string photo = "\xFF\xD8\xFF\xE0";
  for (unsigned i = 0; photo.size() < (1u << 20); ++i) photo.push_back(static_cast<char>(i * 7919u >> 3));

  quenmora::test_support::TestPhone phone(logic->phoneLink().port());
  ResponsivenessProbe probe(window.window());
  phone.Write("STAT||slow.jpg" + photo + "END||");
  const auto written = [&] {
    std::error_code missing;
    return std::filesystem::file_size(directory / "slow.jpg", missing) == photo.size();
  };
  const bool arrived = PumpUntil(written, 60s);
  const ResponsivenessProbe::Answers answers = probe.Stop();
  ASSERT_TRUE(arrived);
  RecordProperty("longest_answer_ms", static_cast<int>(answers.longest.count()));
  EXPECT_EQ(answers.slow, 0) << "the longest answer took " << answers.longest.count() << " ms";
  EXPECT_EQ(WindowText(window.control(MainControl::标签4)), L"1");
}

}  // namespace
}  // namespace quenmora::win32
