#pragma once
// Hands tasks from any thread to the thread of one window: a queue under a lock, and a posted
// message that makes the window run what is queued, in the order it was queued.
#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>

#include "link/reception/ui_executor.h"

namespace quenmora::win32 {

class UiQueue {
 public:
  static constexpr UINT kRunTasks = WM_APP;

  // Tasks queued so far and from now on are announced to `window` with kRunTasks.
  void Attach(HWND window);
  // The window is going away: it ends the window's lifetime, so queued tasks and every later one
  // are dropped unrun.
  void Detach();
  void Post(link::UiTask task);
  // On the window's thread, when kRunTasks arrives. A task may itself run a message loop that
  // calls this again; order is kept because each call takes the oldest task.
  void RunPending();

 private:
  std::mutex mutex_;
  std::deque<link::UiTask> tasks_;
  HWND window_ = nullptr;
  link::OwnerLifetime windowLifetime_;
};

// An executor for the portable code; it keeps the queue alive for threads that outlive the window.
link::UiExecutor ExecutorFor(std::shared_ptr<UiQueue> queue);

}  // namespace quenmora::win32
