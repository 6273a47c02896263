#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>

namespace quenmora::link {

// Runs a task on the UI thread, in the order tasks were given. The program supplies it: the
// Win32 front end posts to its message loop, the Qt one to its event loop, and the console
// receiver to the io_context its main thread runs. Running a task at once on the calling thread
// would run it beside the UI thread's own work (the disk thread's reports, say): only a test
// whose tasks touch nothing else may.
using UiTask = std::function<void()>;
using UiExecutor = std::function<void(UiTask)>;
// Runs a task on the UI thread once `delay` has passed. Tests supply one whose clock they move.
using UiTimer = std::function<void(std::chrono::milliseconds delay, UiTask task)>;

// Whether the owner of tasks handed to the UI thread still exists: a task that runs after its
// owner has ended must do nothing. Created alive; End() or the destructor ends it. Owners end on
// the UI thread, where guarded tasks run, so a task cannot see its owner alive and then lose it
// halfway through.
class OwnerLifetime {
 public:
  OwnerLifetime() = default;
  ~OwnerLifetime() { End(); }
  OwnerLifetime(const OwnerLifetime&) = delete;
  OwnerLifetime& operator=(const OwnerLifetime&) = delete;

  void End() { alive_->store(false); }
  // May be asked on any thread.
  bool Ended() const { return !alive_->load(); }

  // `task`, made to do nothing once the owner has ended.
  UiTask Guard(UiTask task) const { return Guarded(alive_, std::move(task)); }

  // Hands every task to `ui` guarded. Unlike the owner, it may be copied to threads that outlive
  // the owner.
  UiExecutor GuardedExecutor(UiExecutor ui) const {
    return [alive = alive_, ui = std::move(ui)](UiTask task) {
      ui(Guarded(alive, std::move(task)));
    };
  }

 private:
  using AliveFlag = std::shared_ptr<std::atomic<bool>>;

  static UiTask Guarded(AliveFlag alive, UiTask task) {
    return [alive = std::move(alive), task = std::move(task)] {
      if (alive->load()) task();
    };
  }

  AliveFlag alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace quenmora::link
