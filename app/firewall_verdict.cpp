#include "app/firewall_verdict.h"

#include <algorithm>
#include <charconv>

namespace quenmora::app {
namespace {

char16_t FoldAsciiCase(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Windows writes a rule's path as it found the program; only letter case may differ (a
// Chinese folder name has none).
bool SamePath(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b, {}, FoldAsciiCase, FoldAsciiCase);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A whole decimal port number, or nothing.
std::optional<std::uint32_t> PortNumber(std::string_view text) {
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || number > 65535)
    return std::nullopt;
  return number;
}

bool PortItemIncludes(std::string_view item, std::uint16_t port) {
  if (item == "*") return true;
  const std::size_t dash = item.find('-');
  const auto low = PortNumber(Trimmed(item.substr(0, dash)));
  const auto high = dash == std::string_view::npos ? low : PortNumber(Trimmed(item.substr(dash + 1)));
  return low && high && *low <= port && port <= *high;
}

bool Covers(const FirewallRule& rule, std::u16string_view program, std::uint16_t port) {
  return (rule.application.empty() || SamePath(rule.application, program)) &&
         (rule.protocol == kFirewallTcp || rule.protocol == kFirewallAnyProtocol) &&
         LocalPortsInclude(rule.localPorts, port);
}

bool AnyRule(const FirewallReading& reading, const FirewallProfile& profile, FirewallAction action,
             std::uint16_t port) {
  return std::ranges::any_of(reading.rules, [&](const FirewallRule& rule) {
    return rule.enabled && rule.direction == FirewallDirection::kInbound &&
           rule.action == action && (rule.profiles & profile.type) != 0 &&
           Covers(rule, reading.program, port);
  });
}

}  // namespace

bool LocalPortsInclude(std::string_view ports, std::uint16_t port) {
  if (Trimmed(ports).empty()) return true;  // no ports named: any
  for (std::size_t start = 0;;) {
    const std::size_t comma = ports.find(',', start);
    if (PortItemIncludes(Trimmed(ports.substr(start, comma - start)), port)) return true;
    if (comma == std::string_view::npos) return false;
    start = comma + 1;
  }
}

FirewallVerdict JudgeFirewall(const std::optional<FirewallReading>& reading, std::uint16_t port) {
  if (!reading || reading->currentProfiles.empty()) return FirewallVerdict::kUnknown;
  // One profile that blocks is enough: the phone's network may be the one in that profile.
  FirewallVerdict verdict = FirewallVerdict::kAllowed;
  for (const FirewallProfile& profile : reading->currentProfiles) {
    if (!profile.enabled) continue;
    // Block rules win over Allow rules.
    if (profile.blockAllInbound || AnyRule(*reading, profile, FirewallAction::kBlock, port)) {
      verdict = FirewallVerdict::kBlocked;
      break;
    }
    if (profile.defaultInbound == FirewallAction::kBlock &&
        !AnyRule(*reading, profile, FirewallAction::kAllow, port))
      verdict = FirewallVerdict::kNotAllowed;
  }
  if (verdict != FirewallVerdict::kAllowed && reading->localPolicyOverridden)
    return FirewallVerdict::kManaged;
  return verdict;
}

}  // namespace quenmora::app
