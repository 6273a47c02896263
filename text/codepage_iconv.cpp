// Code-page conversion on Linux. UTF-8 is decoded by hand; code page 936 goes through tables that
// the C library's iconv fills once, so converting costs one lookup per character. Code page 65001
// is UTF-8 and every other code page is read as 936, the code page this program's texts use.
#include <iconv.h>

#include <array>
#include <cstdint>

#include "text/codepage.h"

namespace quenmora::text {

namespace {

constexpr char32_t kReplacementCharacter = U'\uFFFD';
constexpr char kDefaultCharacter = '?';

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsGbkTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }
bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One iconv conversion descriptor, used for one complete character at a time.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `input` exactly; returns the number of output bytes, or 0 when any of the
  // input does not convert or converts only approximately.
  std::size_t Convert(const char* input, std::size_t inputLength, char* output,
                      std::size_t outputCapacity) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputLength;
    char* out = output;
    std::size_t outLeft = outputCapacity;
    if (iconv(handle_, &in, &inLeft, &out, &outLeft) != 0 || inLeft != 0) return 0;
    return outputCapacity - outLeft;
  }

 private:
  iconv_t handle_;
};

// Code page 936 in both directions, as lookup tables built on first use.
class Gbk {
 public:
  static constexpr std::uint16_t kUnmapped = 0xFFFF;  // no byte pair has the trail byte 0xFF

  static const Gbk& Tables() {
    static const Gbk tables;  // built once, thread-safe
    return tables;
  }

  // The bytes for a UTF-16 unit: a value below 0x100 is one byte, any other is lead byte * 256 +
  // trail byte; kUnmapped when the code page lacks the character.
  std::uint16_t Encode(char16_t unit) const { return encode_[unit]; }

  // The character of a byte from 0x80 up standing alone, or 0 when it is not one by itself.
  char16_t DecodeSingle(unsigned char byte) const { return singles_[byte - 0x80u]; }

  // The character of a lead and a trail byte, or 0 when the pair is not one.
  char16_t DecodePair(unsigned char lead, unsigned char trail) const {
    return pairs_[static_cast<std::size_t>(lead - 0x80u) << 8 | trail];
  }

 private:
  Gbk() {
    encode_.fill(kUnmapped);
    Converter toGbk("CP936", "UTF-16LE");
    if (toGbk.IsOpen()) {
      for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) continue;
        const char source[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        unsigned char bytes[4];
        const std::size_t length = toGbk.Convert(source, 2, reinterpret_cast<char*>(bytes), 4);
        if (length == 1) encode_[unit] = bytes[0];
        if (length == 2) encode_[unit] = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
      }
    }
    Converter fromGbk("UTF-16LE", "CP936");
    if (!fromGbk.IsOpen()) return;
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
      const char source[1] = {static_cast<char>(byte)};
      singles_[byte - 0x80] = DecodeOne(fromGbk, source, 1);
      if (!IsGbkLeadByte(static_cast<unsigned char>(byte))) continue;
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        const char pair[2] = {static_cast<char>(byte), static_cast<char>(trail)};
        pairs_[(byte - 0x80) << 8 | trail] = DecodeOne(fromGbk, pair, 2);
      }
    }
  }

  // The single UTF-16 unit `source` converts to, or 0.
  static char16_t DecodeOne(Converter& fromGbk, const char* source, std::size_t length) {
    unsigned char unit[4];
    if (fromGbk.Convert(source, length, reinterpret_cast<char*>(unit), 4) != 2) return 0;
    return static_cast<char16_t>(unit[0] | unit[1] << 8);
  }

  std::array<std::uint16_t, 0x10000> encode_;
  std::array<char16_t, 0x80> singles_{};
  std::array<char16_t, 0x8000> pairs_{};
};

char16_t* AppendUtf16(char32_t character, char16_t* out) {
  if (character < 0x10000) {
    *out++ = static_cast<char16_t>(character);
  } else {
    character -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (character >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (character & 0x3FF));
  }
  return out;
}

// Decodes UTF-8 into `out`, which has room for one unit per input byte (no sequence yields more).
// Each maximal invalid subsequence (a lead byte with the continuation bytes that still fit it, or a
// lone byte) becomes one U+FFFD.
char16_t* DecodeUtf8(std::string_view text, char16_t* out) {
  const auto* byte = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = byte + text.size();
  while (byte < end) {
    const unsigned char lead = *byte++;
    if (lead < 0x80) {
      *out++ = lead;
      continue;
    }
    // Continuations needed, and the range of the first one (which excludes overlong forms,
    // surrogates and code points beyond U+10FFFF).
    int continuations;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t character;
    if (lead >= 0xC2 && lead <= 0xDF) {
      continuations = 1;
      character = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      continuations = 2;
      character = lead & 0x0Fu;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      continuations = 3;
      character = lead & 0x07u;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      *out++ = static_cast<char16_t>(kReplacementCharacter);
      continue;
    }
    for (; continuations > 0 && byte < end && *byte >= low && *byte <= high; --continuations) {
      character = character << 6 | (*byte++ & 0x3Fu);
      low = 0x80;
      high = 0xBF;
    }
    out = AppendUtf16(continuations == 0 ? character : kReplacementCharacter, out);
  }
  return out;
}

// Decodes code page 936 into `out`, which has room for one unit per input byte. A byte that is no
// character, and a pair the code page leaves unassigned, become one U+FFFD; a lead byte followed
// by a byte that cannot trail it becomes U+FFFD on its own.
char16_t* DecodeGbk(std::string_view text, char16_t* out) {
  const Gbk& gbk = Gbk::Tables();
  const auto* byte = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = byte + text.size();
  while (byte < end) {
    const unsigned char first = *byte++;
    if (first < 0x80) {
      *out++ = first;
    } else if (const char16_t single = gbk.DecodeSingle(first); single != 0) {
      *out++ = single;
    } else if (IsGbkLeadByte(first) && byte < end && IsGbkTrailByte(*byte)) {
      const char16_t character = gbk.DecodePair(first, *byte++);
      *out++ = character != 0 ? character : static_cast<char16_t>(kReplacementCharacter);
    } else {
      *out++ = static_cast<char16_t>(kReplacementCharacter);
    }
  }
  return out;
}

// Reads the character at `unit`: a surrogate pair is one character, an unpaired surrogate reads
// as U+FFFD. Advances `unit` past it.
char32_t NextCharacter(const char16_t*& unit, const char16_t* end) {
  const char32_t first = *unit++;
  if (IsHighSurrogate(first) && unit < end && IsLowSurrogate(*unit)) {
    return 0x10000 + ((first - 0xD800) << 10) + (*unit++ - 0xDC00u);
  }
  if (IsHighSurrogate(first) || IsLowSurrogate(first)) return kReplacementCharacter;
  return first;
}

// Writes UTF-16 in code page 936 into `out`, which has room for two bytes per unit. A character
// the code page lacks becomes one "?".
char* EncodeGbk(std::u16string_view text, char* out) {
  const Gbk& gbk = Gbk::Tables();
  const char16_t* unit = text.data();
  const char16_t* const end = unit + text.size();
  while (unit < end) {
    if (*unit < 0x80) {
      *out++ = static_cast<char>(*unit++);
      continue;
    }
    const char32_t character = NextCharacter(unit, end);
    const std::uint16_t bytes =
        character < 0x10000 ? gbk.Encode(static_cast<char16_t>(character)) : Gbk::kUnmapped;
    if (bytes == Gbk::kUnmapped) {
      *out++ = kDefaultCharacter;
    } else if (bytes < 0x100) {
      *out++ = static_cast<char>(bytes);
    } else {
      *out++ = static_cast<char>(bytes >> 8);
      *out++ = static_cast<char>(bytes & 0xFF);
    }
  }
  return out;
}

// Writes UTF-16 as UTF-8 into `out`, which has room for three bytes per unit.
char* EncodeUtf8(std::u16string_view text, char* out) {
  const char16_t* unit = text.data();
  const char16_t* const end = unit + text.size();
  while (unit < end) {
    const char32_t character = NextCharacter(unit, end);
    if (character < 0x80) {
      *out++ = static_cast<char>(character);
    } else if (character < 0x800) {
      *out++ = static_cast<char>(0xC0 | character >> 6);
      *out++ = static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
      *out++ = static_cast<char>(0xE0 | character >> 12);
      *out++ = static_cast<char>(0x80 | (character >> 6 & 0x3F));
      *out++ = static_cast<char>(0x80 | (character & 0x3F));
    } else {
      *out++ = static_cast<char>(0xF0 | character >> 18);
      *out++ = static_cast<char>(0x80 | (character >> 12 & 0x3F));
      *out++ = static_cast<char>(0x80 | (character >> 6 & 0x3F));
      *out++ = static_cast<char>(0x80 | (character & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::u16string MultiByteToUtf16(std::string_view text, unsigned codePage) {
  std::u16string result(text.size(), u'\0');
  const char16_t* const end = codePage == kCodePageUtf8 ? DecodeUtf8(text, result.data())
                                                        : DecodeGbk(text, result.data());
  result.resize(static_cast<std::size_t>(end - result.data()));
  return result;
}

std::string Utf16ToMultiByte(std::u16string_view text, unsigned codePage) {
  std::string result;
  if (codePage == kCodePageUtf8) {
    result.resize(text.size() * 3);
    result.resize(static_cast<std::size_t>(EncodeUtf8(text, result.data()) - result.data()));
  } else {
    result.resize(text.size() * 2);
    result.resize(static_cast<std::size_t>(EncodeGbk(text, result.data()) - result.data()));
  }
  return result;
}

}  // namespace quenmora::text
