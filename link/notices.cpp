#include "link/notices.h"

namespace quenmora::link {

std::string ListenFailedNotice(std::uint16_t port) {
  return std::string(kListenFailedBeforePort) + std::to_string(port) + std::string(kListenFailedAfterPort);
}

}  // namespace quenmora::link
