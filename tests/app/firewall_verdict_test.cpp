// The firewall's verdict from a reading of its policy, over the situations a school PC is found
// in: the first-run prompt cancelled or half answered, rules of other programs, several networks
// at once, group policy.
#include "app/firewall_verdict.h"

#include <gtest/gtest.h>

namespace quenmora::app {
namespace {

using V = FirewallVerdict;
constexpr std::uint16_t kPort = 3456;
const std::u16string kProgram = u"C:\\Users\\\u5f20\u8001\u5e08\\Desktop\\quenmora\\quenmora.exe";
const std::u16string kOtherProgram = u"C:\\Program Files\\Other\\other.exe";

constexpr FirewallProfile kPublic{.type = kFirewallPublic};
constexpr FirewallProfile kPrivate{.type = kFirewallPrivate};

// The rules the first-run prompt writes: one per protocol for the program, on the profiles it
// was answered for.
FirewallRule PromptRule(FirewallAction action, int protocol, std::uint32_t profiles) {
  return {.action = action, .application = kProgram, .protocol = protocol, .profiles = profiles};
}
const FirewallRule kAllowedOnPrivate = PromptRule(FirewallAction::kAllow, kFirewallTcp, kFirewallPrivate);
const FirewallRule kBlockedOnPublic = PromptRule(FirewallAction::kBlock, kFirewallTcp, kFirewallPublic);
const FirewallRule kUdpBlockedOnPublic = PromptRule(FirewallAction::kBlock, 17, kFirewallPublic);

FirewallRule With(FirewallRule rule, auto change) {
  change(rule);
  return rule;
}

TEST(FirewallVerdict, FromReadingsOfThePolicy) {
  const struct {
    const char* situation;
    std::vector<FirewallProfile> profiles;
    std::vector<FirewallRule> rules;
    V expected;
    bool overridden = false;
  } cases[] = {
      {"no rule, inbound blocked by default", {kPublic}, {}, V::kNotAllowed},
      {"the helper's rule", {kPublic},
       {{.application = kProgram, .protocol = kFirewallTcp, .localPorts = "3456"}}, V::kAllowed},
      {"allowed for the program, any protocol and port", {kPublic}, {{.application = kProgram}}, V::kAllowed},
      {"the path in other letter case",
       {kPublic},
       {{.application = u"c:\\USERS\\\u5f20\u8001\u5e08\\desktop\\Quenmora\\QUENMORA.EXE"}},
       V::kAllowed},
      {"allowed for another program only", {kPublic}, {{.application = kOtherProgram}}, V::kNotAllowed},
      {"allowed for every program on TCP 3000-4000", {kPublic},
       {{.protocol = kFirewallTcp, .localPorts = "3000-4000"}}, V::kAllowed},
      {"allowed on other ports", {kPublic}, {{.protocol = kFirewallTcp, .localPorts = "80,443"}}, V::kNotAllowed},
      {"allowed for UDP only", {kPublic}, {PromptRule(FirewallAction::kAllow, 17, kFirewallPublic)}, V::kNotAllowed},
      {"the allowing rule disabled", {kPublic},
       {With(kAllowedOnPrivate, [](auto& r) { r.enabled = false; })}, V::kNotAllowed},
      {"the allowing rule outbound", {kPublic},
       {With(kAllowedOnPrivate, [](auto& r) { r.direction = FirewallDirection::kOutbound; r.profiles = kFirewallPublic; })},
       V::kNotAllowed},
      {"prompt answered for private, on a private network", {kPrivate},
       {kAllowedOnPrivate, kBlockedOnPublic, kUdpBlockedOnPublic}, V::kAllowed},
      {"prompt answered for private, on a public network", {kPublic},
       {kAllowedOnPrivate, kBlockedOnPublic, kUdpBlockedOnPublic}, V::kBlocked},
      {"prompt cancelled: Block rules win over an Allow rule", {kPublic},
       {{.application = kProgram}, kBlockedOnPublic}, V::kBlocked},
      {"prompt cancelled, UDP's Block rule alone", {{.type = kFirewallPublic, .defaultInbound = FirewallAction::kAllow}},
       {kUdpBlockedOnPublic}, V::kAllowed},
      {"a disabled Block rule", {kPublic},
       {{.application = kProgram}, With(kBlockedOnPublic, [](auto& r) { r.enabled = false; })}, V::kAllowed},
      {"a Block rule for another program", {kPublic},
       {{.application = kProgram}, With(kBlockedOnPublic, [](auto& r) { r.application = kOtherProgram; })},
       V::kAllowed},
      {"a Block rule for every program on TCP 3456", {kPublic},
       {{.application = kProgram}, {.action = FirewallAction::kBlock, .protocol = kFirewallTcp, .localPorts = "3456"}},
       V::kBlocked},
      {"inbound allowed by default", {{.type = kFirewallPublic, .defaultInbound = FirewallAction::kAllow}}, {},
       V::kAllowed},
      {"all inbound blocked, whatever is allowed", {{.type = kFirewallPublic, .blockAllInbound = true}},
       {{.application = kProgram}}, V::kBlocked},
      {"the firewall off", {{.type = kFirewallPublic, .enabled = false}}, {kBlockedOnPublic}, V::kAllowed},
      {"two networks, one not allowed", {kPrivate, kPublic}, {kAllowedOnPrivate}, V::kNotAllowed},
      {"two networks, one blocked, whichever comes first", {kPublic, kPrivate},
       {kAllowedOnPrivate, kBlockedOnPublic}, V::kBlocked},
      {"not allowed under group policy", {kPublic}, {}, V::kManaged, true},
      {"blocked under group policy", {kPublic}, {kBlockedOnPublic}, V::kManaged, true},
      {"allowed under group policy", {kPublic}, {{.application = kProgram}}, V::kAllowed, true},
      {"no network in any profile", {}, {kBlockedOnPublic}, V::kUnknown},
  };
  for (const auto& c : cases) {
    const FirewallReading reading{.program = kProgram,
                                  .currentProfiles = c.profiles,
                                  .rules = c.rules,
                                  .localPolicyOverridden = c.overridden};
    EXPECT_EQ(JudgeFirewall(reading, kPort), c.expected) << c.situation;
  }
  EXPECT_EQ(JudgeFirewall(std::nullopt, kPort), V::kUnknown) << "the policy could not be read";
}

TEST(FirewallVerdict, LocalPortListsIncludeThePortOnlyWhereTheyNameIt) {
  const struct {
    std::string_view ports;
    bool included;
  } cases[] = {
      {"*", true},         {"", true},           {"3456", true},         {" 3456 ", true},
      {"3000-4000", true}, {"3456-3456", true},  {"80,443,3456", true},  {"80, 3000 - 4000", true},
      {"3457-4000", false}, {"3000-3455", false}, {"4000-3000", false}, {"34560", false},
      {"345", false},      {"3456-", false},     {"-3456", false},       {"99999", false},
      {"RPC", false},      {"RPC-EPMap", false}, {"80,RPC", false},      {"3456x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LocalPortsInclude(c.ports, kPort), c.included) << '"' << c.ports << '"';
}

}  // namespace
}  // namespace quenmora::app
