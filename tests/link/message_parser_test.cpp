#include "link/wire/message_parser.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "phone_stream.h"

namespace quenmora::link::testing {
namespace {

using namespace std::string_literals;
using Kind = MessagePiece::Kind;

Piece Start(std::string name) { return {Kind::kFileStart, std::move(name)}; }
Piece Data(std::string bytes) { return {Kind::kData, std::move(bytes)}; }
Piece End() { return {Kind::kEnd, ""}; }

// The pieces of `reads`, one after another, then the connection's end.
Parsed ParseReads(const std::vector<std::string>& reads) {
  std::string stream;
  std::vector<std::size_t> cuts;
  for (const std::string& read : reads) {
    if (!stream.empty()) cuts.push_back(stream.size());
    stream += read;
  }
  return ParseInReads(stream, cuts);
}

// Small streams of what phones send: JPEG, PNG and HEIC beginnings, percent-encoded Chinese and
// raw UTF-8 names, data holding zero bytes, "%", and beginnings of "END||" (a data byte "E" right
// before "END||" too), an empty photo, and several photos one after another.
std::vector<std::pair<std::string, std::vector<PhoneMessage>>> SmallStreams() {
  const PhoneMessage jpeg{"a.jpg", "\xFF\xD8\xFF\xE0\0\x10JFIF\0END|\xFF\xD9" "EN\xFF" "E"s};
  const PhoneMessage png{"%E5%BC%A0%E4%B8%89.png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR%41"s};
  const PhoneMessage heic{"IMG_0001.HEIC", "\0\0\0\x18" "ftypheic\0E"s};
  const PhoneMessage rawName{"\xE6\x9D\x8E\xE5\x9B\x9B.jpg", "\xFF\xD8\xFF"s};
  const PhoneMessage empty{"empty.jpg", ""};
  return {
      {"jpeg", {jpeg}},
      {"png with a Chinese name", {png}},
      {"heic", {heic}},
      {"raw UTF-8 name", {rawName}},
      {"empty photo", {empty}},
      {"several photos", {jpeg, empty, png, heic}},
      {"names next to ends", {empty, rawName, empty}},
  };
}

// Every cut, and every two cuts, of each stream: inside markers, inside names and UTF-8
// characters, right after "END||", twice inside one "END||STAT||".
TEST(MessageParser, AnyOneOrTwoCutsGiveTheSamePieces) {
  for (const auto& [label, messages] : SmallStreams()) {
    const std::string stream = StreamOf(messages);
    for (std::size_t first = 0; first <= stream.size(); ++first) {
      for (std::size_t second = first; second <= stream.size(); ++second) {
        const std::array cuts{first, second};
        ASSERT_EQ(ParseInReads(stream, cuts).pieces, ExpectedPieces(messages, cuts))
            << label << ", reads cut at " << first << " and " << second;
      }
    }
  }
}

TEST(MessageParser, APhotoThatBeginsLikeANameTerminatorLosesItWhenAReadEndsRightAfterIt) {
  struct Case {
    std::string data;
    std::size_t cutAfter;
  };
  const std::vector<Case> cases = {
      {"\0\0\0\x18" "ftypheic"s, 1}, {"\r\x89"s, 1}, {"\n\x89"s, 1}, {"\r\n\x89"s, 2}, {"\r\n\x89"s, 1}};
  for (const Case& c : cases) {
    const std::string head = "STAT||a.heic";
    const std::string stream = head + c.data + "END||";
    const std::array cuts{head.size() + c.cutAfter};
    EXPECT_EQ(ParseInReads(stream, cuts).pieces, (Pieces{Start("a.heic"), Data(c.data.substr(c.cutAfter)), End()}))
        << c.data.size() << " bytes cut after " << c.cutAfter;
  }
}

// Photo data as in `kind`'s files, with every byte value but "|" (and no "%7C").
std::string PhotoData(std::mt19937& random, std::size_t size, int kind) {
  static constexpr std::string_view kBeginnings[] = {"\xFF\xD8\xFF\xE0", "\x89PNG\r\n\x1A\n",
                                                     std::string_view("\0\0\0\x18" "ftypheic", 12)};
  std::string data(kBeginnings[kind].substr(0, size));
  std::uniform_int_distribution<int> byte(0, 255);
  while (data.size() < size) {
    char next = static_cast<char>(byte(random));
    if (next == '|' || (next == '7' && data.ends_with('%'))) next = 'E';
    data.push_back(next);
  }
  return data;
}

TEST(MessageParser, RandomReadsOfLongStreamsGiveTheSamePieces) {
  std::mt19937 random(3456);
  std::vector<PhoneMessage> messages;
  std::uniform_int_distribution<std::size_t> photoSize(0, 16 * 1024);
  for (int i = 0; i < 60; ++i) {
    messages.push_back({"%E7%85%A7" + std::to_string(i) + ".jpg", PhotoData(random, photoSize(random), i % 3)});
  }
  const std::string stream = StreamOf(messages);
  ASSERT_GT(stream.size(), 400'000u);
  ASSERT_EQ(MessagesOf(stream), messages);
  // Reads of a few bytes, of a network packet, and of a whole receive buffer.
  std::array<std::uniform_int_distribution<std::size_t>, 3> readSizes = {
      std::uniform_int_distribution<std::size_t>(1, 16), std::uniform_int_distribution<std::size_t>(1, 1500),
      std::uniform_int_distribution<std::size_t>(1, 256 * 1024)};
  for (int round = 0; round < 30; ++round) {
    const auto readSize = [&] { return readSizes[random() % readSizes.size()](random); };
    std::vector<std::size_t> cuts;
    for (std::size_t at = readSize(); at < stream.size(); at += readSize()) cuts.push_back(at);
    const Parsed parsed = ParseInReads(stream, cuts);
    ASSERT_EQ(parsed.pieces, ExpectedPieces(messages, cuts)) << "round " << round;
    EXPECT_LE(parsed.mostHeld, MessageParser::kMaxHeldBytes);
  }
}

// A name at its length limit ends at the same place wherever reads cut it or what follows it.
TEST(MessageParser, ANameAtItsLimitEndsTheSameWhereverTheReadsEnd) {
  const std::size_t limit = MessageParser::kMaxNameBytes;
  const std::string n(limit, 'n');
  struct Case {
    std::string stream;
    Pieces pieces;
  };
  const std::vector<Case> cases = {
      {"STAT||" + n + "n\xFF", {Start(n), Data("n\xFF")}},
      {"STAT||" + n.substr(1) + "\xE5\xBC\xA0\xFF", {Start(n.substr(1)), Data("\xE5\xBC\xA0\xFF")}},
      {"STAT||" + n.substr(4) + "END||STAT||x\xFF", {Start(n.substr(4)), End(), Start("x"), Data("\xFF")}},
      {"STAT||" + n.substr(1) + "END||STAT||x\xFF", {Start(n.substr(1)), End(), Start("x"), Data("\xFF")}},
      {"STAT||" + n.substr(1) + "EEND||STAT||x\xFF", {Start(n.substr(1) + "E"), End(), Start("x"), Data("\xFF")}},
      {"STAT||" + n.substr(1) + "EN\xFF", {Start(n.substr(1) + "E"), Data("N\xFF")}},
      {"STAT||" + n + "END||", {Start(n), End()}},
  };
  for (const Case& c : cases) {
    // Every cut near the limit, and every second cut after the first.
    for (std::size_t first = limit; first <= c.stream.size(); ++first) {
      for (std::size_t second = first; second <= c.stream.size(); ++second) {
        const std::array cuts{first, second};
        const Parsed parsed = ParseInReads(c.stream, cuts);
        ASSERT_EQ(parsed.pieces, c.pieces) << "cut at " << first << " and " << second;
        EXPECT_LE(parsed.mostHeld, MessageParser::kMaxHeldBytes);
      }
    }
  }
}

TEST(MessageParser, HeldBytesStayBoundedWhateverComes) {
  const std::vector<std::string> streams = {
      "STAT||" + std::string(20000, 'E'),
      "STAT||" + std::string(MessageParser::kMaxNameBytes - 1, 'a') + "END||STAT|" + std::string(9000, 'b'),
      "\xFF" "END||STAT|END||STAT|END||STAT|END||STAT|",
      "STAT||" + std::string(3000, 'x') + "STAT||" + std::string(3000, 'y') + "\xE5\xBC"};
  for (const std::string& stream : streams) {
    for (std::size_t readSize : {1u, 3u, 7u, 10u, 4096u}) {
      std::vector<std::size_t> cuts;
      for (std::size_t at = readSize; at < stream.size(); at += readSize) cuts.push_back(at);
      EXPECT_LE(ParseInReads(stream, cuts).mostHeld, MessageParser::kMaxHeldBytes) << readSize;
    }
  }
}

// What a phone that pauses between its messages sees, read by read.
// A data read is looked at a block of 8 KiB at a time: a marker in its text is found wherever the
// blocks cut it, escaped or not, and a near miss stays data; a raw "END||" that ends the read makes
// the rest data, wherever the blocks cut it too.
TEST(MessageParser, AMarkerInADataReadIsFoundWhereverTheBlocksCutIt) {
  for (const std::string marker : {"END||", "END%7C%7C", "%45ND|%7c", "STAT||"}) {
    for (const std::size_t blockEdge : {8192u, 16384u}) {
      for (std::size_t at = blockEdge - marker.size() - 2; at <= blockEdge + 2; ++at) {
        std::string read(20000, 'x');
        read.replace(at, marker.size(), marker);
        std::vector<Kind> kinds;
        for (const Piece& piece : ParseReads({"STAT||a.jpg", "\xFF", read}).pieces) kinds.push_back(piece.kind);
        const Kind message = marker.starts_with("STAT") ? Kind::kFileStart : Kind::kEnd;
        EXPECT_EQ(kinds, (std::vector<Kind>{Kind::kFileStart, Kind::kData, message})) << marker << " at " << at;
        std::string nearMiss = read;
        nearMiss[at + marker.size() - 1] = 'x';
        EXPECT_EQ(ParseReads({"STAT||a.jpg", "\xFF", nearMiss}).pieces, (Pieces{Start("a.jpg"), Data("\xFF" + nearMiss)}))
            << marker << " at " << at;
        if (marker == "END||") {  // raw and ending the read, it counts: what comes before is data
          const std::string ending = read.substr(0, at + marker.size());
          EXPECT_EQ(ParseReads({"STAT||a.jpg", "\xFF", ending}).pieces,
                    (Pieces{Start("a.jpg"), Data("\xFF" + read.substr(0, at)), End()}))
              << "ending at " << at;
        }
      }
    }
  }
}

TEST(MessageParser, WholeReads) {
  const std::string n4096(MessageParser::kMaxNameBytes, 'n');
  struct Case {
    std::vector<std::string> reads;
    Pieces pieces;
  };
  const std::vector<Case> cases = {
      // Percent-encoded markers.
      {{"STAT%7C%7Cname.jpg", "\xFF\xD8"}, {Start("name.jpg"), Data("\xFF\xD8")}},
      {{"STAT%7C%7cna%6De.jpg", "abc", "END%7C%7C", "%53TAT||second%53TAT%7C%7C.jpg"},
       {Start("name.jpg"), Data("abc"), End(), Start("second.jpg")}},
      {{"END%7C%7C"}, {End()}},
      // A data read whose text part holds a marker is that message; the text part ends at the
      // first zero byte.
      {{"STAT||a.jpg", "\xFF" "abc", "photo END|| bytes"}, {Start("a.jpg"), Data("\xFF" "abc"), End()}},
      {{"STAT||a.jpg", "\xFF", "photo STAT||x bytes"}, {Start("a.jpg"), Data("\xFF"), Start("photo x bytes")}},
      {{"photoEND||STAT"}, {Data("photoEND||STAT")}},
      {{"xSTAT||name.jpg"}, {Start("xname.jpg")}},
      {{"STAT||a.jpg", "\xFF", "\0STAT||b.jpgx\0END||y"s}, {Start("a.jpg"), Data("\xFF\0STAT||b.jpgx\0END||y"s)}},
      {{"\xFF\xD8\xFF\xE0 plain photo bytes"}, {Data("\xFF\xD8\xFF\xE0 plain photo bytes")}},
      {{"STAT|"}, {Data("STAT|")}},
      // "STAT||" is removed from names in one pass.
      {{"%53TAT||STSTAT%7C%7CAT||y"}, {Start("STAT||y")}},
      {{"STAT||STSTAT||AT||z\xFF"}, {Start("STAT||z"), Data("\xFF")}},
      // What some phones send after a name.
      {{"STAT||a.jpg\0"s}, {Start("a.jpg")}},
      {{"STAT||a.jpg\r"}, {Start("a.jpg")}},
      {{"STAT||a.jpg\n"}, {Start("a.jpg")}},
      {{"STAT||a.jpg\r\n", "\xFF\xD8"}, {Start("a.jpg"), Data("\xFF\xD8")}},
      {{"STAT||a.jpg", "\r\n"}, {Start("a.jpg")}},
      {{"STAT||a.jpg\n\n"}, {Start("a.jpg"), Data("\n\n")}},
      {{"STAT%7C%7Ca.jpg\r\n"}, {Start("a.jpg")}},
      {{"STAT%7C%7Ca.jpg\n"}, {Start("a.jpg")}},
      // Names.
      {{"STAT||%E5%BC%A0.jpg"}, {Start("\xE5\xBC\xA0.jpg")}},
      {{"STAT||%2E%2E%2Fescaped.jpg\xFF"}, {Start("../escaped.jpg"), Data("\xFF")}},
      {{"STAT||\xE5\xBC\xA0 \xF0\x9F\x93\xB7.jpg\xFF"}, {Start("\xE5\xBC\xA0 \xF0\x9F\x93\xB7.jpg"), Data("\xFF")}},
      {{"STAT||" + n4096 + "nnn\xFF"}, {Start(n4096), Data("nnn\xFF")}},
      {{"STAT||" + n4096.substr(0, 3000), n4096.substr(3000) + "nnn\xFF"}, {Start(n4096), Data("nnn\xFF")}},
      {{"STAT||"}, {Start("")}},
      {{"STAT||PHOTOE", "STAT||SCORE_END|"}, {Start("PHOTOE"), Start("SCORE_END|")}},
      // A name ends before the first byte that cannot belong to one.
      {{"STAT||a\0b"s}, {Start("a"), Data("\0b"s)}},
      {{"STAT||a\x1f" "b"}, {Start("a"), Data("\x1f" "b")}},
      {{"STAT||a\x7f" "b"}, {Start("a"), Data("\x7f" "b")}},
      {{"STAT||a\x80" "b"}, {Start("a"), Data("\x80" "b")}},
      {{"STAT||a\xE5\xBC" "b"}, {Start("a"), Data("\xE5\xBC" "b")}},
      {{"STAT||a\xC0\x80" "b"}, {Start("a"), Data("\xC0\x80" "b")}},
      {{"STAT||a\xED\xA0\x80" "b"}, {Start("a"), Data("\xED\xA0\x80" "b")}},
      {{"STAT||a\xF4\x90\x80\x80" "b"}, {Start("a"), Data("\xF4\x90\x80\x80" "b")}},
      {{"STAT||a.jpgEND||"}, {Start("a.jpg"), End()}},
      {{"STAT||aEND||b.jpg"}, {Start("aEND||b.jpg")}},
      {{"STAT||a.jpgEND||", "STAT||b.jpg\xFF"}, {Start("a.jpg"), End(), Start("b.jpg"), Data("\xFF")}},
      // Messages the network merged.
      {{"END||"}, {End()}},
      {{"END||STAT||b.jpg"}, {End(), Start("b.jpg")}},
      {{"STAT||a.png\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s}, {Start("a.png"), Data("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s)}},
      {{"\xFF\0STAT||x END|| y\xFF\xD9" "END||"s}, {Data("\xFF\0STAT||x END|| y\xFF\xD9"s), End()}},
      {{"tail\0END||STAT||c.heic\0\0\0\x18" "ftypheic"s},
       {Data("tail\0"s), End(), Start("c.heic"), Data("\0\0\0\x18" "ftypheic"s)}},
      {{"END||STAT||a.jpg\xFF\xD8" "aEND||STAT||b.jpg\xFF\xD8" "bEND||"},
       {End(), Start("a.jpg"), Data("\xFF\xD8" "a"), End(), Start("b.jpg"), Data("\xFF\xD8" "b"), End()}},
      {{"STAT||END||STAT||x"}, {Start(""), End(), Start("x")}},
      {{"STAT||%2E%2E%2Fa.jpg\xFF" "aEND||STAT||%E5%BC%A0.jpg\xFF" "b"},
       {Start("../a.jpg"), Data("\xFF" "a"), End(), Start("\xE5\xBC\xA0.jpg"), Data("\xFF" "b")}},
      // Bytes held back that were data after all come first, in order.
      {{"STAT||a.jpg", "\xFF\0abcEN"s, "Dx", "\0END|"s, "|STAT", "y", "END||"},
       {Start("a.jpg"), Data("\xFF\0abcENDx\0END||STATy"s), End()}},
      {{"\xFF" "abcEND|", "|STAT||%41.jpg\xFF"}, {Data("\xFF" "abc"), End(), Start("A.jpg"), Data("\xFF")}},
      // What is held when the connection ends.
      {{"STAT||a.jpg"}, {Start("a.jpg")}},
      {{"STAT||a.jpg\xFF" "dataEND|"}, {Start("a.jpg"), Data("\xFF" "dataEND|")}},
      {{"STAT||b.jpg\xFF" "bEND||STAT||c.jpg"}, {Start("b.jpg"), Data("\xFF" "b"), End(), Start("c.jpg")}},
      {{"\xFF" "END||STAT|"}, {Data("\xFF" "END||STAT|")}},
      {{"STAT||a\xE5\xBC"}, {Start("a"), Data("\xE5\xBC")}},
      {{"STAT||aEND||ST"}, {Start("aEND||ST")}},
  };
  for (const Case& c : cases) {
    const Parsed parsed = ParseReads(c.reads);
    EXPECT_EQ(parsed.pieces, c.pieces) << ::testing::PrintToString(c.reads);
  }
}

}  // namespace
}  // namespace quenmora::link::testing
