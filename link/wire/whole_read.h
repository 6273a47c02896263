#pragma once
// What a read is when taken as a whole, as a phone that pauses between its messages sends them
// (Rule 9 of link/wire/message_parser.cpp): one message, told by the markers in its text part (its
// bytes up to the first zero byte) once percent-decoded, so that percent-encoded markers count.
#include <cstddef>
#include <string>
#include <string_view>

namespace quenmora::link {

struct WholeRead {
  enum class Kind {
    kNotWhole,   // a raw "END||" in it counts (boundary_match.h): it is not one message
    kData,       // its text part, decoded, holds neither "STAT||" nor "END||"
    kFileStart,  // its text part, decoded, holds "STAT||"
    kEnd,        // its text part, decoded, holds "END||" and not "STAT||"
  };
  Kind kind;
  // For kData, how many of the read's first bytes are data. The rest, a proper beginning of
  // "END||STAT||" at the read's end, is left out of the decision and waits for the next read.
  std::size_t dataSize = 0;
};

// The same for the same read, always. `work` is working storage only, which the caller keeps so
// that its capacity is reused from read to read.
WholeRead ClassifyWholeRead(std::string_view read, std::string& work);

}  // namespace quenmora::link
