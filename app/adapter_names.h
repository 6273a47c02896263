#pragma once
// What an adapter's name tells about it, for the platforms' address gathering: kept portable so
// that the lists are tested on every build.
#include <string_view>

namespace quenmora::app {

// Whether a Windows adapter's description or friendly name names a virtual machine's, WSL's,
// a container's or a VPN's adapter ("Hyper-V Virtual Ethernet Adapter", "vEthernet (WSL)",
// "VirtualBox Host-Only Ethernet Adapter", "TAP-Windows Adapter V9", "Wintun Userspace Tunnel").
bool NamesVirtualWindowsAdapter(std::u16string_view name);

// Whether a Windows adapter's description is that of the PC's own hotspot: the hosted network
// (Windows 7 and 8) or the Wi-Fi Direct adapter that Windows 10's mobile hotspot uses.
bool NamesWindowsHotspotAdapter(std::u16string_view description);

// Whether a Linux interface's name marks a container's, virtual machine's or VPN's interface
// (docker0, br-1a2b, veth9, virbr0, vboxnet0, vmnet8, tun0, tap0, wg0, tailscale0, ztabc).
bool NamesVirtualLinuxInterface(std::string_view name);

}  // namespace quenmora::app
