#include "app/address_lines.h"

#include <gtest/gtest.h>

#include "app/texts.h"

namespace quenmora::app {
namespace {

using Kind = AdapterKind;

HostAdapter Real(Kind kind, bool gateway, std::vector<std::string> ipv4) {
  return {.ipv4 = std::move(ipv4), .kind = kind, .hasGateway = gateway};
}
HostAdapter Virtual(bool gateway, std::vector<std::string> ipv4) {
  return {
      .ipv4 = std::move(ipv4), .kind = Kind::kEthernet, .hasGateway = gateway, .isVirtual = true};
}
HostAdapter Hotspot(std::vector<std::string> ipv4) {
  // Windows' Wi-Fi Direct adapter is not a hardware interface.
  return {.ipv4 = std::move(ipv4), .kind = Kind::kHotspot, .isVirtual = true};
}

std::string Line(std::string_view address, std::string_view mark = {}) {
  return std::string(kLocalIp) + std::string(address) + std::string(mark);
}

TEST(AddressLines, OrderTheAdaptersAsThePhoneReachesThemAndMarkTheUnlikelyOnes) {
  const struct {
    const char* what;
    std::vector<HostAdapter> adapters;
    std::vector<std::string> lines;
  } cases[] = {
      {"nothing", {}, {}},
      {"one ordinary adapter, bare as ever",
       {Real(Kind::kEthernet, true, {"192.168.1.23"})}, {Line("192.168.1.23")}},
      {"one adapter without a gateway, several addresses in their order",
       {Real(Kind::kOther, false, {"10.0.0.9", "10.0.0.8"})}, {Line("10.0.0.9"), Line("10.0.0.8")}},
      {"VirtualBox and WSL listed first go last",
       {Virtual(false, {"192.168.56.1"}), Virtual(false, {"172.29.16.1"}),
        Real(Kind::kWifi, true, {"192.168.1.23"})},
       {Line("192.168.1.23"), Line("192.168.56.1", kVirtualAdapterMark),
        Line("172.29.16.1", kVirtualAdapterMark)}},
      {"with a gateway: Wi-Fi, wired, others; then real ones without",
       {Real(Kind::kOther, false, {"10.9.9.9"}), Real(Kind::kOther, true, {"100.64.0.5"}),
        Real(Kind::kEthernet, true, {"192.168.0.4"}), Real(Kind::kWifi, true, {"192.168.1.23"})},
       {Line("192.168.1.23"), Line("192.168.0.4"), Line("100.64.0.5"), Line("10.9.9.9")}},
      {"a wired adapter without DHCP: its 169.254 address after the real ones, before virtual",
       {Virtual(false, {"172.17.0.1"}), Real(Kind::kEthernet, false, {"169.254.12.7"}),
        Real(Kind::kEthernet, false, {"10.0.0.2"})},
       {Line("10.0.0.2"), Line("169.254.12.7", kNotConnectedMark),
        Line("172.17.0.1", kVirtualAdapterMark)}},
      {"the hotspot first, never marked virtual; a full-tunnel VPN before other virtual ones",
       {Virtual(false, {"192.168.56.1"}), Virtual(true, {"10.8.0.6"}),
        Real(Kind::kWifi, true, {"192.168.1.23"}), Hotspot({"192.168.137.1"})},
       {Line("192.168.137.1", kHotspotMark), Line("192.168.1.23"),
        Line("10.8.0.6", kVirtualAdapterMark), Line("192.168.56.1", kVirtualAdapterMark)}},
      {"one mark each: a virtual adapter's 169.254 address, a hotspot not yet set up",
       {Virtual(false, {"169.254.3.3"}), Hotspot({"169.254.4.4"})},
       {Line("169.254.4.4", kHotspotMark), Line("169.254.3.3", kVirtualAdapterMark)}},
  };
  for (const auto& c : cases) EXPECT_EQ(AddressLines(c.adapters), c.lines) << c.what;
}

}  // namespace
}  // namespace quenmora::app
