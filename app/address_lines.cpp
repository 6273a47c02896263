#include "app/address_lines.h"

#include <algorithm>
#include <string_view>

#include "app/texts.h"

namespace quenmora::app {
namespace {

// Where Windows and Linux put an adapter that got no address from a DHCP server.
bool IsLinkLocal(std::string_view address) { return address.starts_with("169.254."); }

// Lower comes first.
int Rank(const HostAdapter& adapter, std::string_view address) {
  if (adapter.kind == AdapterKind::kHotspot) return 0;
  if (adapter.isVirtual) return adapter.hasGateway ? 6 : 7;
  if (IsLinkLocal(address)) return 5;
  if (!adapter.hasGateway) return 4;
  switch (adapter.kind) {
    case AdapterKind::kWifi: return 1;
    case AdapterKind::kEthernet: return 2;
    default: return 3;
  }
}

// At most one mark: the hotspot is reachable whatever its address, and a virtual adapter is out
// of the phone's reach whatever its address.
std::string_view Mark(const HostAdapter& adapter, std::string_view address) {
  if (adapter.kind == AdapterKind::kHotspot) return kHotspotMark;
  if (adapter.isVirtual) return kVirtualAdapterMark;
  if (IsLinkLocal(address)) return kNotConnectedMark;
  return {};
}

}  // namespace

std::vector<std::string> AddressLines(std::span<const HostAdapter> adapters) {
  struct Ranked {
    int rank;
    std::string line;
  };
  std::vector<Ranked> ranked;
  for (const HostAdapter& adapter : adapters) {
    for (const std::string& address : adapter.ipv4) {
      std::string line(kLocalIp);
      line += address;
      line += Mark(adapter, address);
      ranked.push_back({Rank(adapter, address), std::move(line)});
    }
  }
  std::ranges::stable_sort(ranked, {}, &Ranked::rank);
  std::vector<std::string> lines;
  lines.reserve(ranked.size());
  for (Ranked& entry : ranked) lines.push_back(std::move(entry.line));
  return lines;
}

}  // namespace quenmora::app
