#include "link/notices.h"

namespace quenmora::link {

std::string ListenFailedNotice(std::uint16_t port) {
  return std::string(kListenFailedBeforePort) + std::to_string(port) + std::string(kListenFailedAfterPort);
}

std::string ShownInNotice(std::string_view text) {
  // Where each character ends: a code-page-936 lead byte takes the next byte with it.
  std::size_t characters = 0, keep = 0, at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    at += (byte >= 0x81 && byte <= 0xFE && at + 1 < text.size()) ? 2 : 1;
    if (++characters == kMaxShownCharacters - 1) keep = at;
    if (characters > kMaxShownCharacters) return std::string(text.substr(0, keep)) + std::string(kShortenedEnd);
  }
  return std::string(text);
}

}  // namespace quenmora::link
