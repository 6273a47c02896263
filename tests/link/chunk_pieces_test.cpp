#include "link/chunk_pieces.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quenmora::link {
namespace {

using Pieces = std::vector<std::pair<PieceKind, std::string>>;
constexpr PieceKind kData = PieceKind::kData;
constexpr PieceKind kEnd = PieceKind::kEnd;
constexpr PieceKind kStart = PieceKind::kFileStart;

Pieces Split(std::string_view chunk) {
  Pieces result;
  for (const ChunkPiece& piece :
       SplitAtMarkers(std::span(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size()))) {
    result.emplace_back(piece.kind, std::string(reinterpret_cast<const char*>(piece.bytes.data()), piece.bytes.size()));
  }
  return result;
}

std::string Bytes(std::string_view withZeros) { return std::string(withZeros); }

TEST(ChunkPieces, ChunksWithoutAMarkerAtAMessageBoundaryAreLeftWhole) {
  for (std::string_view chunk : {"\xFF\xD8\xFF\xE0 plain photo bytes", "photo END|| bytes", "photo STAT||x bytes",
                                 "photoEND||STAT", "STAT%7C%7Cname.jpg", "END%7C%7C", "xSTAT||name.jpg",
                                 "STAT|"}) {
    EXPECT_EQ(Split(chunk), Pieces{}) << chunk;
  }
}

TEST(ChunkPieces, SingleMessagesAreOnePieceEach) {
  EXPECT_EQ(Split("STAT||%E5%BC%A0.jpg"), (Pieces{{kStart, "%E5%BC%A0.jpg"}}));
  EXPECT_EQ(Split("END||"), (Pieces{{kEnd, ""}}));
  EXPECT_EQ(Split("STAT||"), (Pieces{{kStart, ""}}));
}

TEST(ChunkPieces, EndFollowedByStart) {
  EXPECT_EQ(Split("END||STAT||b.jpg"), (Pieces{{kEnd, ""}, {kStart, "b.jpg"}}));
}

TEST(ChunkPieces, StartFollowedByData) {
  EXPECT_EQ(Split("STAT||a.jpg\xFF\xD8\xFF\xE0" "ab"), (Pieces{{kStart, "a.jpg"}, {kData, "\xFF\xD8\xFF\xE0" "ab"}}));
  const std::string png = Bytes({"\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16});
  EXPECT_EQ(Split("STAT||a.png" + png), (Pieces{{kStart, "a.png"}, {kData, png}}));
}

TEST(ChunkPieces, DataFollowedByEndIsWrittenWholeWhateverItHolds) {
  const std::string tail = Bytes({"\xFF\0STAT||x END|| y\xFF\xD9", 20});
  EXPECT_EQ(Split(tail + "END||"), (Pieces{{kData, tail}, {kEnd, ""}}));
}

TEST(ChunkPieces, DataEndStartData) {
  const std::string tail = Bytes({"tail\0", 5});
  const std::string head = Bytes({"\x00\x00\x00\x18" "ftypheic", 12});
  EXPECT_EQ(Split(tail + "END||STAT||c.heic" + head),
            (Pieces{{kData, tail}, {kEnd, ""}, {kStart, "c.heic"}, {kData, head}}));
}

TEST(ChunkPieces, TwoMergesInOneChunk) {
  EXPECT_EQ(Split("END||STAT||a.jpg\xFF\xD8" "aEND||STAT||b.jpg\xFF\xD8" "bEND||"),
            (Pieces{{kEnd, ""}, {kStart, "a.jpg"}, {kData, "\xFF\xD8" "a"}, {kEnd, ""},
                    {kStart, "b.jpg"}, {kData, "\xFF\xD8" "b"}, {kEnd, ""}}));
  EXPECT_EQ(Split("STAT||END||STAT||x"), (Pieces{{kStart, ""}, {kEnd, ""}, {kStart, "x"}}));
}

TEST(ChunkPieces, ANameEndsAtTheFirstByteThatCannotBelongToIt) {
  struct Case {
    std::string chunk;
    std::string name;
  };
  const std::vector<Case> cases = {
      {Bytes({"STAT||a\0b", 9}), "a"},
      {"STAT||a\x1f" "b", "a"},
      {"STAT||a\x7f" "b", "a"},
      {"STAT||a\x80" "b", "a"},                        // continuation without a lead
      {"STAT||a\xE5\xBC" "b", "a"},                    // sequence cut short
      {"STAT||a\xC0\x80" "b", "a"},                    // overlong
      {"STAT||a\xED\xA0\x80" "b", "a"},                // surrogate
      {"STAT||a\xF4\x90\x80\x80" "b", "a"},            // beyond U+10FFFF
      {"STAT||\xE5\xBC\xA0 \xF0\x9F\x93\xB7.jpg\xFF", "\xE5\xBC\xA0 \xF0\x9F\x93\xB7.jpg"},  // raw UTF-8 kept
      {"STAT||a.jpgEND||", "a.jpg"},
      {"STAT||aEND||b.jpg", "aEND||b.jpg"},           // an END|| that does not count
  };
  for (const Case& c : cases) {
    const Pieces pieces = Split(c.chunk);
    ASSERT_FALSE(pieces.empty()) << c.chunk;
    EXPECT_EQ(pieces.front(), (std::pair{kStart, c.name})) << c.chunk;
  }
}

TEST(ChunkPieces, PartialMarkerTailIsTheLongestCutOffBeginningOfEndThenStart) {
  const auto tail = [](std::string_view bytes) {
    return PartialMarkerTail(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  };
  EXPECT_EQ(tail("photo bytes"), 0u);
  EXPECT_EQ(tail(""), 0u);
  EXPECT_EQ(tail("xE"), 1u);
  EXPECT_EQ(tail("xEND|"), 4u);
  EXPECT_EQ(tail("xEND||S"), 6u);
  EXPECT_EQ(tail("xEND||STAT|"), 10u);
  EXPECT_EQ(tail("END||STAT||"), 0u);  // whole: a counted marker, not a cut one
  EXPECT_EQ(tail("xEND||SX"), 0u);
  EXPECT_EQ(tail("xENDE"), 1u);
}

}  // namespace
}  // namespace quenmora::link
