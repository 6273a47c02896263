#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <memory>

#include "app/host_addresses.h"

namespace quenmora::app {

std::vector<std::string> LocalIpv4Addresses() {
  std::vector<std::string> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    if ((entry->ifa_flags & IFF_LOOPBACK) || !(entry->ifa_flags & IFF_UP) ||
        !(entry->ifa_flags & IFF_RUNNING))
      continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    char dotted[INET_ADDRSTRLEN];
    if (inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted))
      addresses.emplace_back(dotted);
  }
  return addresses;
}

}  // namespace quenmora::app
