// Linux has no Windows firewall to read; ufw and firewalld are the administrator's, and the
// package brings a profile for each (the guide gives the command).
#include "app/firewall_reading.h"

namespace quenmora::app {

std::optional<FirewallReading> ReadFirewall() { return std::nullopt; }

}  // namespace quenmora::app
