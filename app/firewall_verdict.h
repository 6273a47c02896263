#pragma once
// Whether the Windows firewall lets a phone reach this program, decided from a reading of its
// policy.
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/firewall_reading.h"

namespace quenmora::app {

enum class FirewallVerdict {
  kAllowed,
  // A profile in use blocks all inbound traffic, or a Block rule covers this program's port.
  kBlocked,
  // A profile in use blocks what no rule allows, and no Allow rule covers this program's port.
  kNotAllowed,
  // Blocked or not allowed, and group policy decides, so a rule added here would not help.
  kManaged,
  // Nothing to judge: the policy could not be read (as under Wine), or no profile is in use.
  kUnknown,
};

// Whether a rule's local ports ("*", "80,3000-4000") include `port`; keywords never do.
bool LocalPortsInclude(std::string_view ports, std::uint16_t port);

// A rule counts when it is enabled, inbound, on the profile in question, and covers a TCP
// connection to the reading's program on `port`: its program (any, or this one, letter case
// aside), protocol and local ports all admit it. A rule's other conditions (remote addresses,
// interfaces) are not read; the rules Windows' first-run prompt writes have none.
FirewallVerdict JudgeFirewall(const std::optional<FirewallReading>& reading, std::uint16_t port);

}  // namespace quenmora::app
