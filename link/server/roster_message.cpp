#include "link/server/roster_message.h"

#include "link/wire/wire_format.h"

namespace quenmora::link {

std::string BuildRosterMessage(std::string_view roster) {
  std::string message;
  message.reserve(kRosterOpening.size() + roster.size() + kRosterClosing.size());
  message.append(kRosterOpening).append(roster).append(kRosterClosing);
  return message;
}

}  // namespace quenmora::link
