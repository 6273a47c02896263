#include "link/server/phone_presence.h"

#include <utility>

#include "link/reception/notices.h"

namespace quenmora::link {

PhonePresence::PhonePresence(UiTimer after, std::function<void(const std::string& line)> notice)
    : after_(std::move(after)), notice_(std::move(notice)) {}

void PhonePresence::Arrived(std::string_view host) {
  Host& known = hosts_[std::string(host)];
  const bool returning = known.departure != 0;
  known.departure = 0;  // back within the grace: it never went, as far as the operator is told
  if (known.live++ == 0 && !returning) Show(kPhoneConnected, host);
}

void PhonePresence::Left(std::string_view host, bool announce) {
  const auto it = hosts_.find(std::string(host));
  if (it == hosts_.end() || it->second.live == 0 || --it->second.live > 0) return;
  if (!announce) {
    hosts_.erase(it);
    return;
  }
  const std::uint64_t departure = ++lastDeparture_;
  it->second.departure = departure;
  after_(kReconnectGrace, lifetime_.Guard([this, host = it->first, departure] { DepartureDue(host, departure); }));
}

void PhonePresence::DepartureDue(const std::string& host, std::uint64_t departure) {
  const auto it = hosts_.find(host);
  if (it == hosts_.end() || it->second.departure != departure) return;  // it came back
  hosts_.erase(it);
  Show(kPhoneDisconnected, host);
}

void PhonePresence::Show(std::string_view kind, std::string_view host) {
  gathered_.Add(kind, host);
  if (std::exchange(showDue_, true)) return;
  after_(kGathering, lifetime_.Guard([this] {
    showDue_ = false;
    gathered_.Flush(notice_);
  }));
}

}  // namespace quenmora::link
