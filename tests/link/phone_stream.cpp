#include "phone_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "link/wire/wire_format.h"
#include "text/codepage.h"
#include "text/percent_decode.h"

namespace quenmora::link::testing {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string_view Text(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The length of the name at the start of `body` (a message without its markers), if it consists
// of whole characters that are printable ASCII other than "|" or valid UTF-8, and what follows
// cannot begin a character.
std::optional<std::size_t> NameLength(std::string_view body) {
  std::size_t at = 0;
  while (at < body.size()) {
    const auto lead = static_cast<unsigned char>(body[at]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xF4) {
      length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    } else if (lead < 0x20 || lead >= 0x7F) {
      break;  // the data begins
    }
    const std::string_view character = body.substr(at, length);
    const bool valid =
        character != "|" && character.size() == length &&
        text::Utf16ToMultiByte(text::MultiByteToUtf16(character, text::kCodePageUtf8), text::kCodePageUtf8) == character;
    if (!valid) return std::nullopt;
    at += length;
  }
  return at;
}

bool BeginsWithNameTerminator(std::string_view data, std::size_t length) {
  const std::string_view first = data.substr(0, length);
  return first.size() == length &&
         (first == std::string_view("\0", 1) || first == "\r" || first == "\n" || first == "\r\n");
}

std::string DecodedName(std::string_view name) {
  const std::string decoded = text::PercentDecode(name);
  std::string withoutMarkers;
  for (std::size_t at = 0;;) {
    const std::size_t found = decoded.find(kFileStartMarker, at);
    withoutMarkers.append(decoded, at, found == kNotFound ? kNotFound : found - at);
    if (found == kNotFound) return withoutMarkers;
    at = found + kFileStartMarker.size();
  }
}

// Copies the pieces it receives, consecutive data joined.
class CollectingSink final : public MessageSink {
 public:
  explicit CollectingSink(Pieces& pieces) : pieces_(pieces) {}
  void FileStart(std::span<const std::uint8_t> name) override {
    pieces_.push_back({MessagePiece::Kind::kFileStart, std::string(Text(name))});
  }
  void Data(std::span<const std::uint8_t> bytes) override {
    if (!pieces_.empty() && pieces_.back().kind == MessagePiece::Kind::kData) {
      pieces_.back().bytes.append(Text(bytes));
    } else {
      pieces_.push_back({MessagePiece::Kind::kData, std::string(Text(bytes))});
    }
  }
  void End() override { pieces_.push_back({MessagePiece::Kind::kEnd, ""}); }

 private:
  Pieces& pieces_;
};

}  // namespace

void PrintTo(const Piece& piece, std::ostream* out) {
  static constexpr const char* kKinds[] = {"start", "data", "end"};
  *out << kKinds[static_cast<int>(piece.kind)] << "(" << piece.bytes.size() << ":";
  for (const char c : std::string_view(piece.bytes).substr(0, 48)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      *out << c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      *out << escaped;
    }
  }
  *out << (piece.bytes.size() > 48 ? "...)" : ")");
}

std::string StreamOf(std::span<const PhoneMessage> messages) {
  std::string stream;
  for (const PhoneMessage& message : messages) {
    stream.append(kFileStartMarker).append(message.name).append(message.data).append(kEndMarker);
  }
  return stream;
}

std::optional<std::vector<PhoneMessage>> MessagesOf(std::string_view stream) {
  std::vector<PhoneMessage> messages;
  for (std::size_t at = 0; at < stream.size();) {
    if (!stream.substr(at).starts_with(kFileStartMarker)) return std::nullopt;
    const std::size_t begin = at + kFileStartMarker.size();
    const std::size_t end = stream.find(kEndMarker, begin);
    if (end == kNotFound) return std::nullopt;
    const std::string_view body = stream.substr(begin, end - begin);
    const std::optional<std::size_t> nameLength = NameLength(body);
    if (!nameLength || *nameLength > MessageParser::kMaxNameBytes) return std::nullopt;
    const std::string_view data = body.substr(*nameLength);
    if (data.find('|') != kNotFound || data.find("%7C") != kNotFound || data.find("%7c") != kNotFound) {
      return std::nullopt;
    }
    messages.push_back({std::string(body.substr(0, *nameLength)), std::string(data)});
    at = end + kEndMarker.size();
  }
  return messages;
}

Pieces ExpectedPieces(std::span<const PhoneMessage> messages, std::span<const std::size_t> cuts) {
  Pieces pieces;
  std::size_t offset = 0;
  for (const PhoneMessage& message : messages) {
    pieces.push_back({MessagePiece::Kind::kFileStart, DecodedName(message.name)});
    const std::size_t dataStart = offset + kFileStartMarker.size() + message.name.size();
    std::string_view data = message.data;
    const auto readEnd = std::upper_bound(cuts.begin(), cuts.end(), dataStart);
    if (readEnd != cuts.end() && BeginsWithNameTerminator(data, *readEnd - dataStart)) {
      data.remove_prefix(*readEnd - dataStart);
    }
    if (!data.empty()) pieces.push_back({MessagePiece::Kind::kData, std::string(data)});
    pieces.push_back({MessagePiece::Kind::kEnd, ""});
    offset = dataStart + message.data.size() + kEndMarker.size();
  }
  return pieces;
}

Parsed ParseInReads(std::string_view stream, std::span<const std::size_t> cuts) {
  Parsed parsed;
  MessageParser parser;
  CollectingSink sink(parsed.pieces);
  std::size_t from = 0;
  for (std::size_t at = 0; at <= cuts.size(); ++at) {
    const std::size_t to = at < cuts.size() ? cuts[at] : stream.size();
    parser.Feed(Bytes(stream.substr(from, to - from)), sink);
    parsed.mostHeld = std::max(parsed.mostHeld, parser.heldBytes());
    from = to;
  }
  parser.Finish(sink);
  return parsed;
}

}  // namespace quenmora::link::testing
