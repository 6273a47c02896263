// Percent decoding and the code page conversions on any bytes: no zero byte in a decoded text,
// the round trips that must hold, and ASCII characters neither made nor lost, which the message
// parser relies on when it looks for markers before converting a name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/codepage.h"
#include "text/percent_decode.h"

namespace {

using quenmora::fuzz::Require;
using namespace quenmora::text;

// The ASCII characters of a text in order, without the "?" that stands for a character a code
// page lacks.
template <typename Text>
std::string AsciiOf(const Text& text) {
  std::string ascii;
  for (const auto unit : text) {
    const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<decltype(unit)>>(unit));
    if (value < 0x80 && value != '?') ascii.push_back(static_cast<char>(value));
  }
  return ascii;
}

std::u16string WithoutUnpairedSurrogates(std::u16string units) {
  const auto high = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto low = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (high(units[i]) && i + 1 < units.size() && low(units[i + 1])) {
      ++i;
    } else if (high(units[i]) || low(units[i])) {
      units[i] = u'\uFFFD';
    }
  }
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  for (const bool utf8 : {false, true}) {
    Require(PercentDecode(input, utf8).find('\0') == std::string::npos, "a decoded text holds no zero byte");
  }
  if (input.find('%') == std::string_view::npos) {
    Require(PercentDecode(input) == input.substr(0, input.find('\0')), "a text without escapes decodes to itself");
  }

  // UTF-8.
  const std::u16string wide = MultiByteToUtf16(input, kCodePageUtf8);
  const std::string utf8 = Utf16ToMultiByte(wide, kCodePageUtf8);
  if (wide.find(u'\uFFFD') == std::u16string::npos) Require(utf8 == input, "valid UTF-8 converts back to itself");
  Require(MultiByteToUtf16(utf8, kCodePageUtf8) == wide, "UTF-8 made from UTF-16 reads back the same");
  Require(AsciiOf(wide) == AsciiOf(input), "reading UTF-8 keeps its ASCII characters");

  // Code page 936.
  const std::string gbk = Utf8ToAnsi(input);
  Require(Utf8ToAnsi(AnsiToUtf8(gbk)) == gbk, "code page 936 made from UTF-8 converts back to itself");
  Require(AsciiOf(MultiByteToUtf16(gbk, kCodePageGbk)) == AsciiOf(input),
          "converting UTF-8 to code page 936 keeps its ASCII characters");
  const std::u16string fromGbk = MultiByteToUtf16(input, kCodePageGbk);
  const std::string gbkAgain = Utf16ToMultiByte(fromGbk, kCodePageGbk);
  Require(Utf16ToMultiByte(MultiByteToUtf16(gbkAgain, kCodePageGbk), kCodePageGbk) == gbkAgain,
          "code page 936 made from UTF-16 converts back to itself");

  // Any UTF-16: it reads back the same from UTF-8, but for an unpaired surrogate, which is U+FFFD.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  Require(MultiByteToUtf16(Utf16ToMultiByte(units, kCodePageUtf8), kCodePageUtf8) == WithoutUnpairedSurrogates(units),
          "UTF-16 converts to UTF-8 and back");
  return 0;
}
