#include "text/percent_decode.h"

#include "text/codepage.h"

namespace quenmora::text {

namespace {

// A digit's value in the alphabet "0123456789ABCDEF", letters of either case. Any other byte is
// not found there and counts as -2, so a malformed escape still yields a definite byte.
int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -2;
}

}  // namespace

void AppendPercentDecoded(std::string_view input, std::string& decoded) {
  // The input is a text: it ends at its first zero byte.
  input = input.substr(0, input.find('\0'));
  std::size_t position = 0;
  while (position < input.size()) {
    const std::size_t escape = input.find('%', position);
    decoded.append(input.substr(position, escape - position));
    // An escape needs two bytes after "%"; one cut short ends the text.
    if (escape == std::string_view::npos || input.size() - escape < 3) break;
    const int value = HexDigitValue(input[escape + 1]) * 16 + HexDigitValue(input[escape + 2]);
    const auto byte = static_cast<char>(value & 0xFF);
    if (byte != '\0') decoded.push_back(byte);
    position = escape + 3;
  }
}

std::string PercentDecode(std::string_view input, bool utf8) {
  std::string decoded;
  decoded.reserve(input.size());
  AppendPercentDecoded(input, decoded);
  return utf8 ? Utf8ToAnsi(decoded) : decoded;
}

}  // namespace quenmora::text
