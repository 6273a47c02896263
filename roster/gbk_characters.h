#pragma once
// Walking a code-page-936 text a character at a time. Digits never occur inside a double-byte
// character, but "X", "_" and most other ASCII letters do, as its second byte; and an ideographic
// space or a full-width parenthesis can only be recognised from the character before it. Tabs,
// spaces, dots and line ends are never a second byte and may be looked for byte by byte.
#include <cstddef>
#include <string_view>

namespace quenmora::roster {

// The length in bytes (1 or 2) of the character that starts at `at`, which is before the end.
// A lead byte without a valid second byte after it stands alone, as the conversions read it.
inline std::size_t GbkCharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x81 || lead == 0xFF || at + 1 >= text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
}

}  // namespace quenmora::roster
