#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <memory>

#include "app/platform.h"
#include "text/codepage.h"

namespace quenmora::app {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

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

std::vector<std::string> ListSubdirectories(std::string_view directory) {
  std::vector<std::string> names;
  const std::string utf8Directory = text::AnsiToUtf8(directory);
  const std::unique_ptr<DIR, DirCloser> dir(opendir(utf8Directory.c_str()));
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Links to directories count as directories: the operator can open them like any other.
    struct stat info {};
    const std::string child = utf8Directory + "/" + entry->d_name;
    if (stat(child.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
    names.push_back(text::Utf8ToAnsi(name));
  }
  return names;
}

}  // namespace quenmora::app
