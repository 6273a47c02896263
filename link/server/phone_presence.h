#pragma once
// Which phones are connected, told to the operator as they come and go: "did it connect?" is then
// answered before the first photo. A phone is its host (its IP): one that opens a connection per
// photo, or reconnects after a short drop, is one phone that stays.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "link/reception/notice_batch.h"
#include "link/reception/ui_executor.h"

namespace quenmora::link {

class PhonePresence {
 public:
  // A host whose last connection has closed is told as gone only if it has not reconnected by then.
  static constexpr std::chrono::milliseconds kReconnectGrace{10'000};
  // The lines of one kind that come within this time are shown as one, with how many more.
  static constexpr std::chrono::milliseconds kGathering{1'000};

  PhonePresence(UiTimer after, std::function<void(const std::string& line)> notice);

  // A connection from `host` is live.
  void Arrived(std::string_view host);
  // A connection from `host` is no longer live. `announce` is false when the program closed it for
  // reasons of its own, which its own line has told.
  void Left(std::string_view host, bool announce);

 private:
  struct Host {
    std::size_t live = 0;
    std::uint64_t departure = 0;  // which departure a pending "gone" is for; 0 for none
  };

  void Show(std::string_view kind, std::string_view host);
  void DepartureDue(const std::string& host, std::uint64_t departure);

  UiTimer after_;
  std::function<void(const std::string&)> notice_;
  std::unordered_map<std::string, Host> hosts_;
  std::uint64_t lastDeparture_ = 0;
  NoticeBatch gathered_;
  bool showDue_ = false;
  OwnerLifetime lifetime_;  // for the timed tasks
};

}  // namespace quenmora::link
