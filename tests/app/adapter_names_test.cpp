#include "app/adapter_names.h"

#include <gtest/gtest.h>

namespace quenmora::app {
namespace {

TEST(AdapterNames, TellVirtualAndHotspotAdaptersFromTheOrdinaryOnes) {
  const struct {
    std::u16string_view name;
    bool isVirtual, isHotspot;
  } windows[] = {
      {u"Realtek PCIe GbE Family Controller", false, false},
      {u"Intel(R) Wi-Fi 6 AX201 160MHz", false, false},
      {u"WLAN", false, false},
      {u"\u4ee5\u592a\u7f51 2", false, false},  // 以太网 2
      {u"Microsoft Hyper-V Network Adapter", false, false},  // a Hyper-V guest's own card
      {u"Hyper-V Virtual Ethernet Adapter #2", true, false},
      {u"vEthernet (WSL)", true, false},
      {u"VMware Virtual Ethernet Adapter for VMnet8", true, false},
      {u"VirtualBox Host-Only Ethernet Adapter", true, false},
      {u"TAP-Windows Adapter V9", true, false},
      {u"Wintun Userspace Tunnel", true, false},
      {u"WireGuard Tunnel", true, false},
      {u"Tailscale", true, false},
      {u"ZeroTier Virtual Port", true, false},
      {u"DockerNAT", true, false},
      {u"Microsoft Wi-Fi Direct Virtual Adapter #2", false, true},
      {u"Microsoft Hosted Network Virtual Adapter", false, true},
      {u"Microsoft Virtual WiFi Miniport Adapter", false, true},
  };
  for (const auto& adapter : windows) {
    const std::string shown(adapter.name.begin(), adapter.name.end());  // ASCII ones read well
    EXPECT_EQ(NamesVirtualWindowsAdapter(adapter.name), adapter.isVirtual) << shown;
    EXPECT_EQ(NamesWindowsHotspotAdapter(adapter.name), adapter.isHotspot) << shown;
  }

  for (const std::string_view name : {"eth0", "enp3s0", "wlp2s0", "wlan0", "eno1", "usb0"})
    EXPECT_FALSE(NamesVirtualLinuxInterface(name)) << name;
  for (const std::string_view name : {"docker0", "br-3f2a9c", "veth12ab", "virbr0", "vboxnet0",
                                      "vmnet8", "tun0", "tap0", "wg0", "tailscale0", "ztks5abc"})
    EXPECT_TRUE(NamesVirtualLinuxInterface(name)) << name;
}

}  // namespace
}  // namespace quenmora::app
