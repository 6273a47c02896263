#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// iphlpapi.h includes it (GetIfEntry2, Vista and later) only when NTDDI_VERSION is set, and the
// build sets _WIN32_WINNT alone.
#include <netioapi.h>
#include <windows.h>

#include <memory>
#include <string_view>

#include "app/adapter_names.h"
#include "app/platform/host_addresses.h"

namespace quenmora::app {
namespace {

std::string Dotted(const in_addr& address) {
  const auto& b = address.S_un.S_un_b;
  return std::to_string(b.s_b1) + '.' + std::to_string(b.s_b2) + '.' + std::to_string(b.s_b3) +
         '.' + std::to_string(b.s_b4);
}

// The adapter list with gateways, grown until it fits (the list can change between the calls).
std::unique_ptr<char[]> AdapterList() {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                           GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_INCLUDE_GATEWAYS;
  ULONG size = 16 * 1024;
  for (int attempt = 0; attempt < 4; ++attempt) {
    auto buffer = std::make_unique<char[]>(size);
    const ULONG result = GetAdaptersAddresses(
        AF_INET, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    if (result == NO_ERROR) return buffer;
    if (result != ERROR_BUFFER_OVERFLOW) break;
  }
  return nullptr;
}

// An adapter that Windows cannot describe counts as hardware: only a sure answer marks it.
bool IsHardware(const NET_LUID& luid) {
  MIB_IF_ROW2 row{};
  row.InterfaceLuid = luid;
  return GetIfEntry2(&row) != NO_ERROR || row.InterfaceAndOperStatusFlags.HardwareInterface;
}

std::u16string_view View(const wchar_t* text) {
  if (!text) return {};
  return reinterpret_cast<const char16_t*>(text);
}

AdapterKind KindOf(const IP_ADAPTER_ADDRESSES& adapter) {
  if (NamesWindowsHotspotAdapter(View(adapter.Description))) return AdapterKind::kHotspot;
  if (adapter.IfType == IF_TYPE_IEEE80211) return AdapterKind::kWifi;
  if (adapter.IfType == IF_TYPE_ETHERNET_CSMACD) return AdapterKind::kEthernet;
  return AdapterKind::kOther;
}

}  // namespace

std::vector<HostAdapter> HostAdapters() {
  std::vector<HostAdapter> adapters;
  const std::unique_ptr<char[]> list = AdapterList();
  if (!list) return adapters;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.get()); adapter;
       adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || adapter->OperStatus != IfOperStatusUp)
      continue;
    HostAdapter record;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address && address->sa_family == AF_INET)
        record.ipv4.push_back(Dotted(reinterpret_cast<const sockaddr_in*>(address)->sin_addr));
    }
    if (record.ipv4.empty()) continue;
    record.kind = KindOf(*adapter);
    record.hasGateway = adapter->FirstGatewayAddress != nullptr;
    record.isVirtual = !IsHardware(adapter->Luid) ||
                       NamesVirtualWindowsAdapter(View(adapter->Description)) ||
                       NamesVirtualWindowsAdapter(View(adapter->FriendlyName));
    adapters.push_back(std::move(record));
  }
  return adapters;
}

}  // namespace quenmora::app
