#pragma once
// A UI thread for tests: the server's network thread queues tasks, the test thread runs them
// while it waits for something, never longer than a deadline.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "link/ui_executor.h"

namespace quenmora::link::testing {

class UiTaskQueue {
 public:
  UiExecutor executor() {
    return [this](UiTask task) {
      const std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
      queued_.notify_one();
    };
  }

  // Runs queued tasks until `done` holds or `timeout` has passed; returns whether it holds.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      UiTask task;
      {
        std::unique_lock lock(mutex_);
        // Wake up now and then: `done` may watch something other than the tasks (a file, say).
        queued_.wait_for(lock, std::chrono::milliseconds(10), [this] { return !tasks_.empty(); });
        if (tasks_.empty()) continue;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
    return true;
  }

  void RunFor(std::chrono::milliseconds duration) {
    RunUntil([] { return false; }, duration);
  }

  std::size_t pending() const {
    const std::lock_guard lock(mutex_);
    return tasks_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<UiTask> tasks_;
};

}  // namespace quenmora::link::testing
