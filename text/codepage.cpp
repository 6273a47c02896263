#include "text/codepage.h"

namespace quenmora::text {

std::string Utf8ToAnsi(std::string_view text) {
  return Utf16ToMultiByte(MultiByteToUtf16(text, kCodePageUtf8), kCodePageGbk);
}

std::string AnsiToUtf8(std::string_view text) {
  return Utf16ToMultiByte(MultiByteToUtf16(text, kCodePageGbk), kCodePageUtf8);
}

}  // namespace quenmora::text
