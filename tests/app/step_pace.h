#pragma once
// A pace for the firewall watch that the test drives instead of the clock: each wait is recorded
// and lasts until the test lets it pass or the watch stops.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "app/firewall_watch.h"

namespace quenmora::app::testing {

class StepPace final : public app::FirewallWatch::Pace {
 public:
  bool Wait(std::chrono::seconds delay) override {
    std::unique_lock lock(mutex_);
    waits_.push_back(delay);
    changed_.notify_all();
    changed_.wait(lock, [this] { return stopped_ || passes_ > 0; });
    if (stopped_) return false;
    --passes_;
    return true;
  }
  void Stop() override {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  // Ends the wait under way (or the next one): the watch takes a reading.
  void Pass() {
    const std::lock_guard lock(mutex_);
    ++passes_;
    changed_.notify_all();
  }
  // Waits, ten seconds at most, until the watch has begun its `count`th wait, which it does once
  // it has handed on what the reading before gave; returns whether it has.
  bool WaitForWaits(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return waits_.size() >= count; });
  }
  std::vector<std::chrono::seconds> waits() const {
    const std::lock_guard lock(mutex_);
    return waits_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::chrono::seconds> waits_;
  int passes_ = 0;
  bool stopped_ = false;
};

}  // namespace quenmora::app::testing
