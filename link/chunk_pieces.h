#pragma once
// Splits a chunk in which the network has merged several of the phone's messages.
//
// Markers are looked for in the raw bytes. A raw "END||" counts when it ends the chunk or is
// followed at once by "STAT||"; a raw "STAT||" counts when it begins the chunk or follows a
// counted "END||". The phone never sends those byte sequences inside a photo at those places,
// so they are safe to split on; anywhere else they may be photo bytes and are left alone.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quenmora::link {

enum class PieceKind {
  kData,       // file bytes, to be written whole
  kEnd,        // a counted "END||"
  kFileStart,  // a counted "STAT||"; bytes is the name as sent, still percent-encoded
};

struct ChunkPiece {
  PieceKind kind;
  std::span<const std::uint8_t> bytes;  // points into the chunk
};

// The chunk's pieces in order, or nothing when it holds no counted marker. A file start's name
// ends before the first byte that cannot belong to one: a control byte, 0x7F, a byte that is not
// part of a valid UTF-8 sequence, or a counted "END||". What follows up to the next counted
// "END||" is the new file's first data. Empty data pieces are left out.
std::vector<ChunkPiece> SplitAtMarkers(std::span<const std::uint8_t> chunk);

// The length of the longest end of `bytes` that may be the beginning of "END||STAT||" cut off
// by the end of a read: a non-empty proper prefix of it. 0 when there is none.
std::size_t PartialMarkerTail(std::span<const std::uint8_t> bytes);

}  // namespace quenmora::link
