#pragma once
// The phone's side of the roster push: connect, wait for one "STAT||" ... "||END" message.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/phone_endpoint.h"

namespace quenmora::tools {

// Connects and returns the roster message's bytes as received, however many reads it takes.
// Throws ToolError if the connection fails or closes first, the data is not a roster message,
// or nothing complete has arrived within `timeout`. `connected` runs once the connection stands.
std::string ReceiveRosterMessage(const Endpoint& endpoint, std::chrono::seconds timeout,
                                 const std::function<void()>& connected);

// The rows between the markers (code page 936), split at CR LF; no row after a final CR LF.
std::vector<std::string> RosterRows(std::string_view message);

}  // namespace quenmora::tools
