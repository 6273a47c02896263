#pragma once
// Searches of a read that run once per byte of every photo, written to take 16 bytes a step where
// the processor can (SSE2: every x64 one), and a byte at a time elsewhere.
#include <bit>
#include <cstddef>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quenmora::link {

// Whether `bytes` hold a zero byte, a "%" or a "|": one pass where three searches would be needed.
inline bool HoldsZeroPercentOrBar(std::string_view bytes) {
  std::size_t at = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128(), percent = _mm_set1_epi8('%'), bar = _mm_set1_epi8('|');
  const auto found = [&](std::size_t offset) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + offset));
    return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, percent)), _mm_cmpeq_epi8(v, bar));
  };
  for (; at + 64 <= bytes.size(); at += 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(found(at), found(at + 16)), _mm_or_si128(found(at + 32), found(at + 48)));
    if (_mm_movemask_epi8(any) != 0) return true;
  }
#endif
  return bytes.substr(at).find_first_of(std::string_view("\0%|", 3)) != std::string_view::npos;
}

// Where the first "||" at or after `from` begins; npos if none. Rarer in a photo than any one
// byte of it, so a search for it stops less often than one for "E" or "|".
inline std::size_t FindTwoBars(std::string_view bytes, std::size_t from) {
  std::size_t at = from;
#ifdef __SSE2__
  const __m128i bar = _mm_set1_epi8('|');
  for (; at + 17 <= bytes.size(); at += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at + 1));
    const int pairs = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, bar), _mm_cmpeq_epi8(next, bar)));
    if (pairs != 0) return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(pairs)));
  }
#endif
  for (; at + 1 < bytes.size(); ++at) {
    if (bytes[at] == '|' && bytes[at + 1] == '|') return at;
  }
  return std::string_view::npos;
}

}  // namespace quenmora::link
