#pragma once
// A UI thread for tests: other threads (a server's network thread, a worker) queue tasks, the
// test thread runs them while it waits for something, never past a deadline. The queue is shared
// with every copy of the executor, so a detached thread may still queue into it after the test
// has moved on.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "link/reception/ui_executor.h"

namespace quenmora::test_support {

class TestUiThread {
 public:
  link::UiExecutor executor() {
    return [queue = queue_](link::UiTask task) {
      const std::lock_guard lock(queue->mutex);
      queue->tasks.push_back(std::move(task));
      queue->queued.notify_one();
    };
  }

  // Runs queued tasks until `done` holds or `timeout` has passed; returns whether it holds.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      link::UiTask task;
      {
        std::unique_lock lock(queue_->mutex);
        // Wake up now and then: `done` may watch something other than the tasks (a file, say).
        queue_->queued.wait_for(lock, std::chrono::milliseconds(10),
                                [this] { return !queue_->tasks.empty(); });
        if (queue_->tasks.empty()) continue;
        task = std::move(queue_->tasks.front());
        queue_->tasks.pop_front();
      }
      task();
    }
    return true;
  }

  void RunFor(std::chrono::milliseconds duration) {
    RunUntil([] { return false; }, duration);
  }

  // Waits, running nothing, until at least `count` tasks are queued; returns whether they are.
  bool WaitForPending(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::unique_lock lock(queue_->mutex);
    return queue_->queued.wait_for(lock, timeout, [&] { return queue_->tasks.size() >= count; });
  }

  std::size_t pending() const {
    const std::lock_guard lock(queue_->mutex);
    return queue_->tasks.size();
  }

 private:
  struct Queue {
    std::mutex mutex;
    std::condition_variable queued;
    std::deque<link::UiTask> tasks;
  };
  std::shared_ptr<Queue> queue_ = std::make_shared<Queue>();
};

}  // namespace quenmora::test_support
