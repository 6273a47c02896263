#include "app/firewall_warnings.h"

#include "app/texts.h"

namespace quenmora::app {

std::optional<std::string_view> FirewallWarnings::LineFor(FirewallVerdict verdict) {
  if (verdict == FirewallVerdict::kUnknown || verdict == last_) return std::nullopt;
  last_ = verdict;
  switch (verdict) {
    case FirewallVerdict::kBlocked:
      return kFirewallBlocked;
    case FirewallVerdict::kNotAllowed:
      return kFirewallNotAllowed;
    case FirewallVerdict::kManaged:
      return kFirewallManaged;
    case FirewallVerdict::kAllowed:
      return kFirewallAllowedAgain;  // only ever after a warning
    case FirewallVerdict::kUnknown:
      break;
  }
  return std::nullopt;
}

}  // namespace quenmora::app
