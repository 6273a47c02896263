#include "app/firewall_watch.h"

#include <condition_variable>
#include <mutex>
#include <utility>

#include "app/firewall_verdict.h"
#include "app/firewall_warnings.h"

namespace quenmora::app {
namespace {

// Real time, on a condition variable, so that closing the window ends a wait at once.
class ClockPace final : public FirewallWatch::Pace {
 public:
  bool Wait(std::chrono::seconds delay) override {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, delay, [this] { return stopped_; });
  }
  void Stop() override {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    wake_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopped_ = false;
};

void Watch(FirewallReader read, std::shared_ptr<FirewallWatch::Pace> pace, std::uint16_t port,
           link::UiExecutor ui, std::function<void(std::string_view)> show) {
  FirewallWarnings warnings;
  for (auto delay = FirewallWatch::kFirstReading; pace->Wait(delay);
       delay = FirewallWatch::kBetweenReadings) {
    if (const auto line = warnings.LineFor(JudgeFirewall(read(), port)))
      ui([show, line = *line] { show(line); });  // the line is one of the program's constants
  }
}

}  // namespace

FirewallWatch::FirewallWatch(FirewallReader read, std::shared_ptr<Pace> pace)
    : read_(std::move(read)), pace_(pace ? std::move(pace) : std::make_shared<ClockPace>()) {}

FirewallWatch::~FirewallWatch() {
  if (pace_) pace_->Stop();
  if (thread_.joinable()) thread_.join();
}

void FirewallWatch::Start(std::uint16_t port, link::UiExecutor ui,
                          std::function<void(std::string_view)> show) {
  if (thread_.joinable()) return;
  thread_ = std::thread(Watch, read_, pace_, port, std::move(ui), std::move(show));
}

}  // namespace quenmora::app
