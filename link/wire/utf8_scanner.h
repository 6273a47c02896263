#pragma once
// Checks UTF-8 a byte at a time, for text whose reads may end inside a character. A character's
// first byte gives its length and the range of its second byte, which rules out overlong forms,
// surrogates and values above U+10FFFF.
#include <cstddef>
#include <cstdint>

namespace quenmora::link {

class Utf8Scanner {
 public:
  // The length of the character that `lead` begins, 1 to 4; 0 when no valid character begins so.
  static constexpr std::size_t LengthOf(std::uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
  }

  // A character of more than one byte begins with `lead`.
  void Begin(std::uint8_t lead) {
    needed_ = static_cast<std::uint8_t>(LengthOf(lead) - 1);
    taken_ = 1;
    low_ = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    high_ = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  }

  // The next byte of the unfinished character: whether it can be; if so it is taken.
  bool Continue(std::uint8_t byte) {
    if (byte < low_ || byte > high_) return false;
    low_ = 0x80;
    high_ = 0xBF;
    --needed_;
    ++taken_;
    return true;
  }

  // How many bytes of a character that still needs more have been taken; 0 when none does.
  std::size_t unfinished() const { return needed_ > 0 ? taken_ : 0; }

 private:
  std::uint8_t needed_ = 0, taken_ = 0;
  std::uint8_t low_ = 0x80, high_ = 0xBF;  // the next byte's range
};

}  // namespace quenmora::link
