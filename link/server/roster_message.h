#pragma once
#include <string>
#include <string_view>

namespace quenmora::link {

// "STAT||", the roster text unchanged, "||END".
std::string BuildRosterMessage(std::string_view roster);

}  // namespace quenmora::link
