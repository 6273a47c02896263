#include "link/reception/notices.h"

namespace quenmora::link {

std::string ListenFailedNotice(std::uint16_t port) {
  return std::string(kListenFailedBeforePort) + std::to_string(port) + std::string(kListenFailedAfterPort);
}

std::string RosterSentNotice(std::string_view host, std::string_view roster) {
  std::size_t rows = 0;
  for (std::size_t from = 0; from <= roster.size();) {
    std::size_t end = roster.find('\n', from);
    if (end == std::string_view::npos) end = roster.size();
    std::string_view row = roster.substr(from, end - from);
    if (row.ends_with('\r')) row.remove_suffix(1);
    if (!row.empty()) ++rows;
    from = end + 1;
  }
  return std::string(kRosterSentBeforeRows) + std::string(host) + std::string(kRowsBefore) +
         std::to_string(rows) + std::string(kRowsAfter);
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
