#include <arpa/inet.h>
#include <ifaddrs.h>
// glibc's net/if.h before the kernel's headers, which then leave its definitions alone.
#include <net/if.h>
#include <linux/wireless.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>

#include "app/adapter_names.h"
#include "app/platform/host_addresses.h"

namespace quenmora::app {
namespace {

namespace fs = std::filesystem;

// The interfaces that have an IPv4 default route, from the kernel's routing table.
std::set<std::string> InterfacesWithGateway() {
  std::set<std::string> names;
  std::ifstream routes("/proc/net/route");
  std::string line;
  std::getline(routes, line);  // the heading
  constexpr unsigned kGatewayFlag = 0x2;  // RTF_GATEWAY
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway;
    unsigned flags = 0;
    if (fields >> name >> destination >> gateway >> std::hex >> flags &&
        destination == "00000000" && (flags & kGatewayFlag))
      names.insert(name);
  }
  return names;
}

// A wireless interface in access-point mode: the PC's own hotspot.
bool IsAccessPoint(const std::string& name) {
  const int probe = socket(AF_INET, SOCK_DGRAM, 0);
  if (probe < 0) return false;
  iwreq request{};
  std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
  const bool master = ioctl(probe, SIOCGIWMODE, &request) == 0 && request.u.mode == IW_MODE_MASTER;
  close(probe);
  return master;
}

AdapterKind KindOf(const std::string& name) {
  const fs::path device = fs::path("/sys/class/net") / name;
  std::error_code error;
  if (fs::exists(device / "wireless", error) || fs::exists(device / "phy80211", error))
    return IsAccessPoint(name) ? AdapterKind::kHotspot : AdapterKind::kWifi;
  std::string type;
  std::ifstream(device / "type") >> type;
  return type == "1" ? AdapterKind::kEthernet : AdapterKind::kOther;  // ARPHRD_ETHER
}

// Bridges, veth pairs, tunnels and the like have no device behind them.
bool IsVirtual(const std::string& name) {
  std::error_code error;
  return !fs::exists(fs::path("/sys/class/net") / name / "device", error) ||
         NamesVirtualLinuxInterface(name);
}

}  // namespace

std::vector<HostAdapter> HostAdapters() {
  std::vector<HostAdapter> adapters;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return adapters;
  const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);
  std::vector<std::string> names;  // beside `adapters`, one each
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    if ((entry->ifa_flags & IFF_LOOPBACK) || !(entry->ifa_flags & IFF_UP) ||
        !(entry->ifa_flags & IFF_RUNNING))
      continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    char dotted[INET_ADDRSTRLEN];
    if (!inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted)) continue;
    // An address's label ("eth0:1") names an alias of its interface.
    const std::string_view label = entry->ifa_name;
    const std::string name(label.substr(0, label.find(':')));
    const auto known = std::ranges::find(names, name);
    if (known != names.end()) {
      adapters[known - names.begin()].ipv4.emplace_back(dotted);
      continue;
    }
    names.push_back(name);
    adapters.push_back({.ipv4 = {dotted}});
  }
  const std::set<std::string> withGateway = InterfacesWithGateway();
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    adapters[i].kind = KindOf(names[i]);
    adapters[i].hasGateway = withGateway.contains(names[i]);
    adapters[i].isVirtual = IsVirtual(names[i]);
  }
  return adapters;
}

}  // namespace quenmora::app
