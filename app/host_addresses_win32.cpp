#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <memory>

#include "app/host_addresses.h"

namespace quenmora::app {
namespace {

std::string Dotted(const in_addr& address) {
  const auto& b = address.S_un.S_un_b;
  return std::to_string(b.s_b1) + '.' + std::to_string(b.s_b2) + '.' + std::to_string(b.s_b3) +
         '.' + std::to_string(b.s_b4);
}

// The adapter list, grown until it fits (the list can change between the calls).
std::unique_ptr<char[]> AdapterList() {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
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

}  // namespace

std::vector<std::string> LocalIpv4Addresses() {
  std::vector<std::string> addresses;
  const std::unique_ptr<char[]> list = AdapterList();
  if (!list) return addresses;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.get()); adapter;
       adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || adapter->OperStatus != IfOperStatusUp)
      continue;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address && address->sa_family == AF_INET)
        addresses.push_back(Dotted(reinterpret_cast<const sockaddr_in*>(address)->sin_addr));
    }
  }
  return addresses;
}

}  // namespace quenmora::app
