#include "app/platform/host_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "app/address_lines.h"
#include "app/texts.h"

namespace quenmora::app {
namespace {

bool IsDottedQuad(const std::string& address) {
  return std::ranges::count(address, '.') == 3 &&
         std::ranges::all_of(address, [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

// Whatever this machine has: the records hold dotted addresses without loopback, and every one
// of them becomes an address line.
TEST(HostAdapters, HoldDottedAddressesWithoutLoopbackThatAllBecomeLines) {
  const std::vector<HostAdapter> adapters = HostAdapters();
  std::size_t addresses = 0;
  for (const HostAdapter& adapter : adapters) {
    EXPECT_FALSE(adapter.ipv4.empty()) << "an adapter without an IPv4 address is left out";
    for (const std::string& address : adapter.ipv4) {
      EXPECT_FALSE(address.starts_with("127.")) << address;
      EXPECT_TRUE(IsDottedQuad(address)) << address;
    }
    addresses += adapter.ipv4.size();
  }
  const std::vector<std::string> lines = AddressLines(adapters);
  EXPECT_EQ(lines.size(), addresses);
  for (const HostAdapter& adapter : adapters) {
    for (const std::string& address : adapter.ipv4) {
      const std::string line = std::string(kLocalIp) + address;
      EXPECT_TRUE(std::ranges::any_of(lines, [&](const std::string& shown) {
        const std::initializer_list<std::string_view> marks{"", kVirtualAdapterMark,
                                                            kNotConnectedMark, kHotspotMark};
        return std::ranges::any_of(
            marks, [&](std::string_view mark) { return shown == line + std::string(mark); });
      })) << address;
    }
  }
}

}  // namespace
}  // namespace quenmora::app
