#include "app/adapter_names.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace quenmora::app {
namespace {

// ASCII letters folded to lower case; adapter names of interest are ASCII.
std::string Folded(std::u16string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (const char16_t c : name) {
    if (c >= u'A' && c <= u'Z')
      folded += static_cast<char>(c - u'A' + 'a');
    else
      folded += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return folded;
}

bool ContainsAny(std::u16string_view name, std::span<const std::string_view> parts) {
  const std::string folded = Folded(name);
  return std::ranges::any_of(
      parts, [&](std::string_view part) { return folded.find(part) != std::string::npos; });
}

}  // namespace

bool NamesVirtualWindowsAdapter(std::u16string_view name) {
  // A Hyper-V guest's own network card is the "Microsoft Hyper-V Network Adapter": only the
  // host's virtual switch adapters count.
  static constexpr std::array<std::string_view, 11> kParts{
      "hyper-v virtual", "vethernet", "vmware", "virtualbox", "tap-", "wintun", "wireguard",
      "tailscale", "zerotier", "wsl", "docker"};
  return ContainsAny(name, kParts);
}

bool NamesWindowsHotspotAdapter(std::u16string_view description) {
  static constexpr std::array<std::string_view, 3> kParts{
      "hosted network virtual adapter", "wi-fi direct virtual adapter",
      "virtual wifi miniport adapter"};
  return ContainsAny(description, kParts);
}

bool NamesVirtualLinuxInterface(std::string_view name) {
  static constexpr std::array<std::string_view, 11> kPrefixes{
      "docker", "br-", "veth", "virbr", "vboxnet", "vmnet", "tun", "tap", "wg", "tailscale", "zt"};
  return std::ranges::any_of(kPrefixes,
                             [&](std::string_view prefix) { return name.starts_with(prefix); });
}

}  // namespace quenmora::app
