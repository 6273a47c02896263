#pragma once
// Finding the phone's "END||" where it counts, and "END||STAT||", the boundary between two photos
// of a phone that does not pause, in reads that may end inside it. Rules 1 and 8 of
// link/wire/message_parser.cpp.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/wire/byte_search.h"
#include "link/wire/wire_format.h"

namespace quenmora::link {

// Rule 1: the first "END||" that begins in [from, until) of `read` and counts, because "STAT||"
// follows at once or it ends the read; npos if none.
inline std::size_t FindCountedEnd(std::string_view read, std::size_t from, std::size_t until) {
  static_assert(kEndMarker.ends_with("||"));
  constexpr std::size_t kBarsAt = kEndMarker.size() - 2;
  const std::string_view searched = read.substr(0, until + kEndMarker.size() - 1);
  for (std::size_t bars = FindTwoBars(searched, from + kBarsAt); bars != std::string_view::npos;
       bars = FindTwoBars(searched, bars + 1)) {
    const std::size_t at = bars - kBarsAt;
    if (!searched.substr(at).starts_with(kEndMarker)) continue;
    const std::size_t after = at + kEndMarker.size();
    if (after == read.size() || read.substr(after).starts_with(kFileStartMarker)) return at;
  }
  return std::string_view::npos;
}

// Rule 8: how many of the last bytes of `bytes` are a proper beginning of "END||STAT||", 0 if
// none. At most one ending can be: the boundary has one "E", at its start.
inline std::size_t BoundaryBeginningAtEnd(std::string_view bytes) {
  const std::size_t from = bytes.size() - std::min(bytes.size(), kMessageBoundary.size() - 1);
  for (std::size_t e = bytes.find('E', from); e != std::string_view::npos; e = bytes.find('E', e + 1)) {
    if (kMessageBoundary.starts_with(bytes.substr(e))) return bytes.size() - e;
  }
  return 0;
}

// Follows a possible "END||STAT||" a byte at a time, after a name that may go on in the next read.
class BoundaryMatch {
 public:
  enum class Step { kMismatch, kGoesOn, kComplete };

  // How many bytes of the boundary have matched; 0 when no match is under way.
  std::size_t matched() const { return matched_; }
  // Whether what has matched is "END||", which counts where a read ends.
  bool matchedEnd() const { return matched_ == kEndMarker.size(); }

  // A match begins if `byte` begins the boundary.
  void TryBegin(std::uint8_t byte) {
    if (byte == static_cast<std::uint8_t>(kMessageBoundary.front())) matched_ = 1;
  }
  // The next byte while a match is under way. A mismatch or a complete boundary ends the match.
  Step Next(std::uint8_t byte) {
    if (byte != static_cast<std::uint8_t>(kMessageBoundary[matched_])) {
      matched_ = 0;
      return Step::kMismatch;
    }
    if (++matched_ < kMessageBoundary.size()) return Step::kGoesOn;
    matched_ = 0;
    return Step::kComplete;
  }

 private:
  std::size_t matched_ = 0;
};

}  // namespace quenmora::link
