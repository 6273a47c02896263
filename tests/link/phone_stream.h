#pragma once
// What a phone sends, for the message parser's tests and fuzz target: streams that keep the
// parser's contract, made or recognised, the pieces the parser must make of them, and the pieces
// it does make of a stream cut into reads.
#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/wire/message_parser.h"

namespace quenmora::link::testing {

// The kinds of piece that a MessageSink receives.
struct MessagePiece {
  enum class Kind { kFileStart, kData, kEnd };
};

// A piece with its bytes copied.
struct Piece {
  MessagePiece::Kind kind;
  std::string bytes;
  bool operator==(const Piece&) const = default;
};
using Pieces = std::vector<Piece>;
void PrintTo(const Piece& piece, std::ostream* out);

// One photo as the phone sends it: the name as on the wire, then the data.
struct PhoneMessage {
  std::string name;
  std::string data;
  bool operator==(const PhoneMessage&) const = default;
};

std::string StreamOf(std::span<const PhoneMessage> messages);

// The messages of `stream` when it is one the parser's contract covers; nothing otherwise. For
// the data it demands no "|" and no "%7C" or "%7c", which is enough to hold no marker.
std::optional<std::vector<PhoneMessage>> MessagesOf(std::string_view stream);

// The pieces the parser must make of the messages' stream cut into reads at `cuts` (ascending
// offsets): each file start with its decoded name, the data, the end. A photo whose data begins
// with "\0", "\r", "\n" or "\r\n" loses those bytes when a read ends right after them.
Pieces ExpectedPieces(std::span<const PhoneMessage> messages, std::span<const std::size_t> cuts);

struct Parsed {
  Pieces pieces;             // consecutive data pieces joined
  std::size_t mostHeld = 0;  // the most the parser held after a read
};
// Feeds `stream` to a new parser in reads that end at `cuts` (ascending offsets), then finishes.
Parsed ParseInReads(std::string_view stream, std::span<const std::size_t> cuts);

}  // namespace quenmora::link::testing
