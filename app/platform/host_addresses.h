#pragma once
// The machine's own adapters and their addresses, which the operator types into the phone; one
// implementation per platform. Kept apart from the window logic so that the console receiver
// can list them too.
#include <string>
#include <vector>

namespace quenmora::app {

enum class AdapterKind {
  kWifi,
  kEthernet,
  kOther,
  kHotspot,  // the PC's own hotspot, where phones connect when the PC shares its Wi-Fi
};

struct HostAdapter {
  std::vector<std::string> ipv4;  // dotted, in the platform's order
  AdapterKind kind = AdapterKind::kOther;
  bool hasGateway = false;  // an IPv4 default gateway
  bool isVirtual = false;   // a virtual machine's, container's or VPN's adapter
};

// The adapters that are up and have an IPv4 address, loopback left out, in the platform's order.
std::vector<HostAdapter> HostAdapters();

}  // namespace quenmora::app
