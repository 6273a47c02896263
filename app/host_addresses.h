#pragma once
// The machine's own addresses, which the operator types into the phone; one implementation per
// platform. Kept apart from the window logic so that the console receiver can list them too.
#include <string>
#include <vector>

namespace quenmora::app {

// The machine's IPv4 addresses in dotted form, loopback and adapters that are down left out,
// in the platform's order.
std::vector<std::string> LocalIpv4Addresses();

}  // namespace quenmora::app
