#pragma once
// A text of the program's own, as code-page-936 bytes, with the same text in UTF-8 beside it so
// that the source can be read and the two checked against each other. It is used as its bytes.
#include <string_view>

namespace quenmora::text {

struct GbkText {
  std::u8string_view readable;
  std::string_view bytes;

  constexpr operator std::string_view() const { return bytes; }
  // Compares as its bytes, which a std::string on the other side would not find on its own.
  friend constexpr bool operator==(const GbkText& text, std::string_view other) { return text.bytes == other; }
};

}  // namespace quenmora::text
