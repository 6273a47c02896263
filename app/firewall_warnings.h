#pragma once
// Which line the information box gets as the firewall's verdicts come in: a warning each time the
// verdict turns into a problem (or into another one), one line when it is allowed again after a
// warning, and nothing otherwise. An unknown verdict (a reading that failed) changes nothing, so
// a failed reading between two alike neither repeats a warning nor takes it back.
#include <optional>
#include <string_view>

#include "app/firewall_verdict.h"

namespace quenmora::app {

class FirewallWarnings {
 public:
  std::optional<std::string_view> LineFor(FirewallVerdict verdict);

 private:
  // Allowed until told otherwise: a firewall that lets the program through is never mentioned.
  FirewallVerdict last_ = FirewallVerdict::kAllowed;
};

}  // namespace quenmora::app
