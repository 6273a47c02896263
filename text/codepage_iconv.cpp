// Code-page conversion on Linux. UTF-8 is decoded by hand; code page 936 goes through tables that
// the C library's iconv fills once, so converting costs one lookup per character. Code page 65001
// is UTF-8 and every other code page is read as 936, the code page this program's texts use.
#include <iconv.h>

#include <algorithm>
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
  static constexpr std::uint16_t kSurrogate = 0xFFFF;  // no byte pair has the trail byte 0xFF

  static const Gbk& Tables() {
    static const Gbk tables;  // built once, thread-safe
    return tables;
  }

  // The bytes for a UTF-16 unit: a value below 0x100 is one byte, any other is lead byte * 256 +
  // trail byte; "?" when the code page lacks the character; kSurrogate for half a surrogate pair.
  std::uint16_t Encode(char16_t unit) const { return encode_[unit]; }

  // The character of a byte from 0x80 up standing alone, or 0 when it is not one by itself.
  char16_t DecodeSingle(unsigned char byte) const { return singles_[byte - 0x80u]; }

  // The character of a lead and a trail byte, or 0 when the pair is not one.
  char16_t DecodePair(unsigned char lead, unsigned char trail) const {
    return pairs_[static_cast<std::size_t>(lead - 0x80u) << 8 | trail];
  }

 private:
  Gbk() {
    encode_.fill(kDefaultCharacter);
    std::fill(encode_.begin() + 0xD800, encode_.begin() + 0xE000, kSurrogate);
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

// Writes a character beyond the BMP as its two surrogates.
char16_t* AppendSurrogatePair(char32_t character, char16_t* out) {
  character -= 0x10000;
  *out++ = static_cast<char16_t>(0xD800 + (character >> 10));
  *out++ = static_cast<char16_t>(0xDC00 + (character & 0x3FF));
  return out;
}

// UTF-8 decoding as a state machine whose steps hold no branch on the data: photo data is
// random-looking bytes, on which per-byte branches would mostly be mispredicted.
namespace utf8 {

enum Class : std::uint8_t {
  kAscii, kContinuation80, kContinuation90, kContinuationA0, kLead2, kLeadE0, kLead3, kLeadED,
  kLeadF0, kLead4, kLeadF4, kNeverValid, kClassCount
};

// The states name the continuation bytes still needed; the After states also limit the range of
// the next one (which rules out overlong forms, surrogates and code points beyond U+10FFFF).
enum State : std::uint8_t {
  kStart, kNeed1, kNeed2, kNeed3, kAfterE0, kAfterED, kAfterF0, kAfterF4, kStateCount
};

// What one byte does. Every step uses its byte, so the next byte's address never waits for the
// table: a byte that breaks a sequence both ends it (kFlush) and is read as a new start.
enum Action : std::uint8_t {
  kFlush = 1,     // first write U+FFFD for the sequence read so far, which the byte breaks
  kContinue = 2,  // the byte continues the sequence read so far
  kEmit = 4,      // then write a unit: the finished character, or U+FFFD with kInvalid
  kInvalid = 8,
};

struct Step {
  std::uint8_t next;     // the state after the byte
  std::uint8_t bits;     // the bits of the byte that belong to the character
  std::uint8_t actions;  // a set of Action
  std::uint8_t unused;   // makes a step four bytes, a cheap index
};

constexpr Class ClassOf(unsigned byte) {
  if (byte < 0x80) return kAscii;
  if (byte < 0x90) return kContinuation80;
  if (byte < 0xA0) return kContinuation90;
  if (byte < 0xC0) return kContinuationA0;
  if (byte < 0xC2) return kNeverValid;
  if (byte < 0xE0) return kLead2;
  if (byte == 0xE0) return kLeadE0;
  if (byte == 0xED) return kLeadED;
  if (byte < 0xF0) return kLead3;
  if (byte == 0xF0) return kLeadF0;
  if (byte < 0xF4) return kLead4;
  if (byte == 0xF4) return kLeadF4;
  return kNeverValid;
}

constexpr auto kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (unsigned byte = 0; byte < 256; ++byte) classes[byte] = ClassOf(byte);
  return classes;
}();

// A byte that its state does not accept ends the sequence read so far as one U+FFFD and starts anew, so each
// maximal invalid subsequence becomes one U+FFFD. Rows have 16 entries to make indexing a shift.
constexpr auto kSteps = [] {
  std::array<std::array<Step, 16>, kStateCount> steps{};
  auto& start = steps[kStart];
  start.fill({kStart, 0, kEmit | kInvalid, 0});
  start[kAscii] = {kStart, 0x7F, kEmit, 0};
  start[kLead2] = {kNeed1, 0x1F, 0, 0};
  start[kLeadE0] = {kAfterE0, 0x0F, 0, 0};
  start[kLead3] = {kNeed2, 0x0F, 0, 0};
  start[kLeadED] = {kAfterED, 0x0F, 0, 0};
  start[kLeadF0] = {kAfterF0, 0x07, 0, 0};
  start[kLead4] = {kNeed3, 0x07, 0, 0};
  start[kLeadF4] = {kAfterF4, 0x07, 0, 0};
  for (std::size_t state = kNeed1; state < kStateCount; ++state) {
    for (std::size_t byteClass = 0; byteClass < kClassCount; ++byteClass) {
      Step step = start[byteClass];
      step.actions |= kFlush;
      steps[state][byteClass] = step;
    }
  }
  const auto accept = [&](State state, Class continuation, State next) {
    const auto actions = static_cast<std::uint8_t>(next == kStart ? kContinue | kEmit : kContinue);
    steps[state][continuation] = {next, 0x3F, actions, 0};
  };
  for (Class continuation : {kContinuation80, kContinuation90, kContinuationA0}) {
    accept(kNeed1, continuation, kStart);
    accept(kNeed2, continuation, kNeed1);
    accept(kNeed3, continuation, kNeed2);
  }
  accept(kAfterE0, kContinuationA0, kNeed1);
  accept(kAfterED, kContinuation80, kNeed1);
  accept(kAfterED, kContinuation90, kNeed1);
  accept(kAfterF0, kContinuation90, kNeed2);
  accept(kAfterF0, kContinuationA0, kNeed2);
  accept(kAfterF4, kContinuation80, kNeed2);
  return steps;
}();

// Decodes UTF-8 into `out`, which has room for one unit per input byte: no sequence yields more
// units than it has bytes, so each step may write its units before knowing whether it keeps them.
char16_t* Decode(std::string_view text, char16_t* out) {
  std::uint8_t state = kStart;
  char32_t character = 0;
  for (const char byte : text) {
    const auto value = static_cast<unsigned char>(byte);
    const Step step = kSteps[state][kClasses[value]];
    // Masks instead of conditions, so that the compiler emits no branches.
    *out = static_cast<char16_t>(kReplacementCharacter);
    out += (step.actions & kFlush) != 0;
    const char32_t keep = 0u - static_cast<char32_t>((step.actions & kContinue) != 0);
    character = (character << 6 & keep) | (value & step.bits);
    const char32_t replace = 0u - static_cast<char32_t>((step.actions & kInvalid) != 0);
    const char32_t unit = (character & ~replace) | (kReplacementCharacter & replace);
    if (unit > 0xFFFF) {
      out = AppendSurrogatePair(unit, out);
    } else {
      *out = static_cast<char16_t>(unit);
      out += (step.actions & kEmit) != 0;
    }
    state = step.next;
  }
  if (state != kStart) *out++ = static_cast<char16_t>(kReplacementCharacter);
  return out;
}

}  // namespace utf8

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
// the code page lacks becomes one "?", and sets `replaced`.
char* EncodeGbk(std::u16string_view text, char* out, bool& replaced) {
  const Gbk& gbk = Gbk::Tables();
  const char16_t* unit = text.data();
  const char16_t* const end = unit + text.size();
  while (unit < end) {
    const std::uint16_t bytes = gbk.Encode(*unit);
    if (bytes == Gbk::kSurrogate) {
      // The code page has no character beyond the BMP: a pair, or a half alone, is one "?".
      unit += IsHighSurrogate(unit[0]) && unit + 1 < end && IsLowSurrogate(unit[1]) ? 2 : 1;
      *out++ = kDefaultCharacter;
      replaced = true;
      continue;
    }
    // Only a "?" that the text did not hold is a replacement; no branch, as below.
    replaced |= (bytes == kDefaultCharacter) & (*unit != kDefaultCharacter);
    ++unit;
    // Both bytes are written whatever the length, which saves a branch per character.
    const bool twoBytes = bytes > 0xFF;
    out[0] = static_cast<char>(twoBytes ? bytes >> 8 : bytes);
    out[1] = static_cast<char>(bytes & 0xFF);
    out += twoBytes ? 2 : 1;
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
  const char16_t* const end = codePage == kCodePageUtf8 ? utf8::Decode(text, result.data())
                                                        : DecodeGbk(text, result.data());
  result.resize(static_cast<std::size_t>(end - result.data()));
  return result;
}

std::string Utf16ToMultiByte(std::u16string_view text, unsigned codePage) {
  if (codePage != kCodePageUtf8) return Utf16ToGbkWithoutLookAlikes(text);
  std::string result(text.size() * 3, '\0');
  result.resize(static_cast<std::size_t>(EncodeUtf8(text, result.data()) - result.data()));
  return result;
}

// The tables leave look-alikes out, so on Linux this is the plain conversion that also tells.
std::string Utf16ToGbkWithoutLookAlikes(std::u16string_view text, bool* replaced) {
  bool anyReplaced = false;
  std::string result(text.size() * 2, '\0');
  result.resize(static_cast<std::size_t>(EncodeGbk(text, result.data(), anyReplaced) - result.data()));
  if (replaced) *replaced = anyReplaced;
  return result;
}

}  // namespace quenmora::text
