#pragma once
// Reads the Windows firewall's policy now and then on a thread of its own, and hands the window,
// through its UI executor, each line FirewallWarnings gives. The thread ends with the watch.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "app/firewall_reading.h"
#include "link/reception/ui_executor.h"

namespace quenmora::app {

class FirewallWatch {
 public:
  // Paces the readings: Wait returns when `delay` has passed, or at once when stopped, and says
  // whether to go on. Stop may be called from any thread.
  class Pace {
   public:
    virtual ~Pace() = default;
    virtual bool Wait(std::chrono::seconds delay) = 0;
    virtual void Stop() = 0;
  };

  // The first reading leaves Windows' own prompt, which comes when listening starts, time to be
  // answered.
  static constexpr std::chrono::seconds kFirstReading{30};
  static constexpr std::chrono::seconds kBetweenReadings{60};

  // Paced by the clock unless a test brings its own pace.
  explicit FirewallWatch(FirewallReader read, std::shared_ptr<Pace> pace = nullptr);
  FirewallWatch(FirewallWatch&&) = default;
  FirewallWatch& operator=(FirewallWatch&&) = delete;
  // Stops the thread and waits for it: at once, unless a reading is under way.
  ~FirewallWatch();

  // Starts the thread, once: the verdicts are for TCP `port`, and `show` runs through `ui` with
  // each line. The thread holds only copies, so `ui` must drop tasks whose owner is gone.
  void Start(std::uint16_t port, link::UiExecutor ui, std::function<void(std::string_view)> show);

 private:
  FirewallReader read_;
  std::shared_ptr<Pace> pace_;
  std::thread thread_;
};

}  // namespace quenmora::app
