#pragma once
// The information box's address lines, made from the adapters the platform reports.
#include <span>
#include <string>
#include <vector>

#include "app/platform/host_addresses.h"

namespace quenmora::app {

// "本机IP：" and each address, in code page 936 and without line ends, in the order the phone is
// likeliest to reach them: the PC's own hotspot, real adapters with a default gateway (Wi-Fi,
// wired, then others), real ones without, their 169.254 addresses, then virtual adapters (those
// with a gateway first). Otherwise the platform's order stays. A line says when the address is
// the hotspot's, a virtual adapter's or a 169.254 one; an ordinary adapter's line is bare.
std::vector<std::string> AddressLines(std::span<const HostAdapter> adapters);

}  // namespace quenmora::app
