#pragma once
// What the Windows firewall's policy says, as far as it decides whether a phone can reach this
// program; read by the platform, judged by JudgeFirewall (app/firewall_verdict.h).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quenmora::app {

enum class FirewallAction { kBlock, kAllow };
enum class FirewallDirection { kInbound, kOutbound };

// The firewall's profile bits, as Windows numbers them (NET_FW_PROFILE_TYPE2).
inline constexpr std::uint32_t kFirewallDomain = 1;
inline constexpr std::uint32_t kFirewallPrivate = 2;
inline constexpr std::uint32_t kFirewallPublic = 4;
// Protocol numbers as the rules give them.
inline constexpr int kFirewallTcp = 6;
inline constexpr int kFirewallAnyProtocol = 256;

// One of the profiles the machine's networks are in now.
struct FirewallProfile {
  std::uint32_t type = kFirewallPublic;
  bool enabled = true;
  bool blockAllInbound = false;
  FirewallAction defaultInbound = FirewallAction::kBlock;
};

// The members with `{}` may be left out of a designated initializer without GCC 12 warning.
struct FirewallRule {
  FirewallDirection direction = FirewallDirection::kInbound;
  bool enabled = true;
  FirewallAction action = FirewallAction::kAllow;
  std::u16string application{};  // the program's full path; empty for every program
  int protocol = kFirewallAnyProtocol;
  std::string localPorts = "*";  // "*", "3456", "3000-4000,3456", or a keyword such as "RPC"
  std::uint32_t profiles = kFirewallDomain | kFirewallPrivate | kFirewallPublic;
};

struct FirewallReading {
  std::u16string program{};  // the path this program runs from
  std::vector<FirewallProfile> currentProfiles{};
  std::vector<FirewallRule> rules{};
  // Group policy decides, so rules added on this machine have no effect.
  bool localPolicyOverridden = false;
};

// Reads the policy now; nothing when it cannot be read. Called on the watch's own thread.
using FirewallReader = std::function<std::optional<FirewallReading>()>;

// This platform's reader: the Windows firewall through COM on Windows; nothing elsewhere.
std::optional<FirewallReading> ReadFirewall();

}  // namespace quenmora::app
