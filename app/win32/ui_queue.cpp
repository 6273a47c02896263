#include "app/win32/ui_queue.h"

#include <utility>

namespace quenmora::win32 {

void UiQueue::Attach(HWND window) {
  std::lock_guard lock(mutex_);
  window_ = window;
  if (!tasks_.empty()) PostMessageW(window_, kRunTasks, 0, 0);
}

void UiQueue::Detach() {
  std::deque<link::UiTask> dropped;
  {
    std::lock_guard lock(mutex_);
    windowLifetime_.End();
    window_ = nullptr;
    dropped.swap(tasks_);
  }
  // `dropped` dies here, outside the lock: a task's captures may take locks of their own.
}

void UiQueue::Post(link::UiTask task) {
  std::lock_guard lock(mutex_);
  if (windowLifetime_.Ended()) return;
  tasks_.push_back(std::move(task));
  if (window_) PostMessageW(window_, kRunTasks, 0, 0);
}

void UiQueue::RunPending() {
  for (;;) {
    link::UiTask task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

link::UiExecutor ExecutorFor(std::shared_ptr<UiQueue> queue) {
  return [queue = std::move(queue)](link::UiTask task) { queue->Post(std::move(task)); };
}

}  // namespace quenmora::win32
