#include "app/win32/ui_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "message_pump.h"

namespace quenmora::win32 {
namespace {

using test_support::PumpUntil;
using test_support::PumpFor;
using namespace std::chrono_literals;

// A bare window that runs its queue's tasks, as the main window does.
class QueueWindow {
 public:
  QueueWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuenmoraQueueTest";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue.get()));
  }
  ~QueueWindow() { DestroyWindow(window_); }
  HWND handle() const { return window_; }

  std::shared_ptr<UiQueue> queue = std::make_shared<UiQueue>();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UiQueue::kRunTasks) {
      if (auto* queue = reinterpret_cast<UiQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA))) queue->RunPending();
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_;
};

TEST(UiQueue, TasksFromOtherThreadsRunOnTheWindowThreadInTheOrderEachThreadGaveThem) {
  QueueWindow window;
  window.queue->Attach(window.handle());
  const link::UiExecutor ui = ExecutorFor(window.queue);
  constexpr int kPerThread = 500;
  const DWORD windowThread = GetCurrentThreadId();
  std::vector<int> seen[2];
  std::atomic<int> wrongThread = 0;
  std::vector<std::thread> threads;
  for (int source = 0; source < 2; ++source) {
    threads.emplace_back([&, source] {
      for (int i = 0; i < kPerThread; ++i) {
        ui([&, source, i] {
          if (GetCurrentThreadId() != windowThread) ++wrongThread;
          seen[source].push_back(i);
        });
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(PumpUntil([&] { return seen[0].size() + seen[1].size() == 2 * kPerThread; }));
  EXPECT_EQ(wrongThread, 0);
  for (const std::vector<int>& order : seen) {
    ASSERT_EQ(order.size(), std::size_t{kPerThread});
    for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(order[static_cast<std::size_t>(i)], i);
  }
}

TEST(UiQueue, TasksGivenBeforeTheWindowExistsRunOnceItIsAttached) {
  QueueWindow window;
  std::vector<int> ran;
  const link::UiExecutor ui = ExecutorFor(window.queue);
  ui([&] { ran.push_back(1); });
  ui([&] { ran.push_back(2); });
  PumpFor(100ms);
  EXPECT_TRUE(ran.empty());
  window.queue->Attach(window.handle());
  ASSERT_TRUE(PumpUntil([&] { return ran.size() == 2; }));
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(UiQueue, AfterDetachQueuedAndLaterTasksAreDroppedUnrunAndReleased) {
  QueueWindow window;
  window.queue->Attach(window.handle());
  const link::UiExecutor ui = ExecutorFor(window.queue);
  const auto capture = std::make_shared<int>(0);
  int ran = 0;
  ui([&ran, capture] { ++ran; });   // queued, its message not yet handled
  window.queue->Detach();
  ui([&ran, capture] { ++ran; });   // after the window is gone
  std::thread([&ran, ui, capture] { ui([&ran, capture] { ++ran; }); }).join();
  PumpFor(100ms);
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(capture.use_count(), 1);  // nothing holds the dropped tasks
}

TEST(UiQueue, ATaskThatRunsAMessageLoopKeepsTheOrderOfTheRest) {
  QueueWindow window;
  window.queue->Attach(window.handle());
  const link::UiExecutor ui = ExecutorFor(window.queue);
  std::vector<int> ran;
  ui([&] {
    ran.push_back(1);
    ui([&] { ran.push_back(3); });
    PumpFor(50ms);  // a nested loop, as a message box or the folder picker runs
  });
  ui([&] { ran.push_back(2); });
  ASSERT_TRUE(PumpUntil([&] { return ran.size() == 3; }));
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace quenmora::win32
