#include "link/chunk_pieces.h"

#include <algorithm>
#include <string_view>

#include "link/wire_format.h"

namespace quenmora::link {
namespace {

// Position of the first counted "END||" at or after `from`, or npos.
std::size_t FindCountedEnd(std::string_view chunk, std::size_t from) {
  for (std::size_t at = chunk.find(kEndMarker, from); at != std::string_view::npos;
       at = chunk.find(kEndMarker, at + 1)) {
    const std::string_view after = chunk.substr(at + kEndMarker.size());
    if (after.empty() || after.starts_with(kFileStartMarker)) return at;
  }
  return std::string_view::npos;
}

constexpr bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// Length of the valid UTF-8 sequence of two or more bytes at `at`, or 0 if there is none.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byteAt(at);
  std::size_t length;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;  // no surrogates
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() - at < length || !InRange(byteAt(at + 1), secondLow, secondHigh)) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!InRange(byteAt(at + i), 0x80, 0xBF)) return 0;
  }
  return length;
}

// Where a name that starts at `begin` ends, at `limit` at the latest.
std::size_t NameEnd(std::string_view chunk, std::size_t begin, std::size_t limit) {
  const std::string_view region = chunk.substr(0, limit);
  std::size_t at = begin;
  while (at < limit) {
    const auto byte = static_cast<unsigned char>(region[at]);
    if (byte < 0x80) {
      if (byte < 0x20 || byte == 0x7F) break;
      ++at;
    } else {
      const std::size_t length = Utf8SequenceLength(region, at);
      if (length == 0) break;
      at += length;
    }
  }
  return at;
}

}  // namespace

std::vector<ChunkPiece> SplitAtMarkers(std::span<const std::uint8_t> chunk) {
  const std::string_view bytes(reinterpret_cast<const char*>(chunk.data()), chunk.size());
  std::vector<ChunkPiece> pieces;
  const auto add = [&](PieceKind kind, std::size_t begin, std::size_t end) {
    if (kind != PieceKind::kData || end > begin) pieces.push_back({kind, chunk.subspan(begin, end - begin)});
  };

  std::size_t at = 0;
  if (!bytes.starts_with(kFileStartMarker)) {
    const std::size_t end = FindCountedEnd(bytes, 0);
    if (end == std::string_view::npos) return pieces;
    add(PieceKind::kData, 0, end);
    add(PieceKind::kEnd, end, end);
    at = end + kEndMarker.size();
  }
  // Here `at` is the chunk's end or a counted "STAT||".
  while (at < bytes.size()) {
    const std::size_t nameBegin = at + kFileStartMarker.size();
    const std::size_t end = FindCountedEnd(bytes, nameBegin);
    const std::size_t dataEnd = end == std::string_view::npos ? bytes.size() : end;
    const std::size_t nameEnd = NameEnd(bytes, nameBegin, dataEnd);
    add(PieceKind::kFileStart, nameBegin, nameEnd);
    add(PieceKind::kData, nameEnd, dataEnd);
    if (end == std::string_view::npos) break;
    add(PieceKind::kEnd, end, end);
    at = end + kEndMarker.size();
  }
  return pieces;
}

std::size_t PartialMarkerTail(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (std::size_t length = std::min(text.size(), kMessageBoundary.size() - 1); length > 0; --length) {
    if (text.ends_with(kMessageBoundary.substr(0, length))) return length;
  }
  return 0;
}

}  // namespace quenmora::link
