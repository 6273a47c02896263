#pragma once
// A UiTimer whose clock moves only when the test says: timed tasks run, in the order they fall
// due, on the thread that calls Advance. A timer that is never advanced runs nothing.
#include <chrono>
#include <map>
#include <memory>
#include <utility>

#include "link/reception/ui_executor.h"

namespace quenmora::test_support {

class ManualTimer {
 public:
  link::UiTimer timer() {
    return [state = state_](std::chrono::milliseconds delay, link::UiTask task) {
      state->due.emplace(state->now + delay, std::move(task));
    };
  }

  void Advance(std::chrono::milliseconds by) {
    const auto until = state_->now + by;
    while (!state_->due.empty() && state_->due.begin()->first <= until) {
      auto next = state_->due.begin();
      state_->now = next->first;
      link::UiTask task = std::move(next->second);
      state_->due.erase(next);
      task();
    }
    state_->now = until;
  }

 private:
  struct State {
    std::chrono::milliseconds now{0};
    std::multimap<std::chrono::milliseconds, link::UiTask> due;  // equal times keep their order
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace quenmora::test_support
