#include "link/roster_message.h"

namespace quenmora::link {

std::string BuildRosterMessage(std::string_view roster) {
  constexpr std::string_view kOpening = "STAT||";
  constexpr std::string_view kClosing = "||END";
  std::string message;
  message.reserve(kOpening.size() + roster.size() + kClosing.size());
  message.append(kOpening).append(roster).append(kClosing);
  return message;
}

}  // namespace quenmora::link
