#include "link/message_parser.h"

#include <algorithm>

#include "link/chunk_pieces.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The first "END||" at or after `from` that counts: "STAT||" follows at once, or it ends the read.
std::size_t FindCountedEnd(std::string_view read, std::size_t from) {
  for (std::size_t at = read.find(kEndMarker, from); at != kNotFound; at = read.find(kEndMarker, at + 1)) {
    const std::size_t after = at + kEndMarker.size();
    if (after == read.size() || read.substr(after).starts_with(kFileStartMarker)) return at;
  }
  return kNotFound;
}

// How many of the last bytes of `bytes` are a proper beginning of "END||STAT||", 0 if none. At most
// one end can be: the marker has one "E", at its start.
std::size_t BoundaryBeginningAtEnd(std::string_view bytes) {
  const std::size_t from = bytes.size() - std::min(bytes.size(), kMessageBoundary.size() - 1);
  for (std::size_t e = bytes.find('E', from); e != kNotFound; e = bytes.find('E', e + 1)) {
    if (kMessageBoundary.starts_with(bytes.substr(e))) return bytes.size() - e;
  }
  return 0;
}

// What some phones send after a file start's name.
bool IsNameTerminator(std::string_view bytes) {
  return bytes == std::string_view("\0", 1) || bytes == "\r" || bytes == "\n" || bytes == "\r\n";
}

// Removes every "STAT||" from text[from..] in one left-to-right pass: what a removal joins up is
// not looked at again.
void RemoveFileStartMarkers(std::string& text, std::size_t from) {
  std::size_t write = from;
  for (std::size_t read = from;;) {
    const std::size_t found = text.find(kFileStartMarker, read);
    const std::size_t until = found == kNotFound ? text.size() : found;
    text.replace(write, until - read, text, read, until - read);
    write += until - read;
    if (found == kNotFound) break;
    read = found + kFileStartMarker.size();
  }
  text.resize(write);
}

void DropLineEnd(std::string& text) {
  if (text.ends_with('\n')) text.pop_back();
  if (text.ends_with('\r')) text.pop_back();
}

}  // namespace

std::span<const MessagePiece> MessageParser::Feed(std::span<const std::uint8_t> read) {
  Begin();
  const std::string_view bytes(reinterpret_cast<const char*>(read.data()), read.size());
  if (bytes.empty()) return Pieces();
  bool wholeReadRule = true;
  std::size_t at = 0;
  if (bytes.starts_with(kFileStartMarker)) {
    EndHeld();
    StartName();
    at = kFileStartMarker.size();
    wholeReadRule = false;
  } else {
    at = ResolveHeld(bytes, wholeReadRule);
  }
  if (at != kNotFound) Parse(bytes, at, wholeReadRule);
  return Pieces();
}

std::span<const MessagePiece> MessageParser::Finish() {
  Begin();
  EndHeld();
  held_.clear();
  state_ = State::kBetweenMessages;
  return Pieces();
}

void MessageParser::Begin() {
  pieces_.clear();
  scratch_.clear();
  scratchPieces_.clear();
}

std::span<const MessagePiece> MessageParser::Pieces() {
  const auto* scratch = reinterpret_cast<const std::uint8_t*>(scratch_.data());
  for (const ScratchPiece& piece : scratchPieces_) pieces_[piece.index].bytes = {scratch + piece.offset, piece.size};
  return pieces_;
}

// Held bytes of a marker that the read completes, goes on with, or shows to be data. Returns where
// parsing goes on in the read, or kNotFound when the read is used up.
std::size_t MessageParser::ResolveHeld(std::string_view read, bool& wholeReadRule) {
  if (state_ == State::kInName) {
    wholeReadRule = false;
    return 0;
  }
  if (held_.empty()) return 0;
  const std::string_view marker = state_ == State::kInData ? kMessageBoundary : kFileStartMarker;
  const std::size_t wanted = marker.size() - held_.size();
  const std::string_view next = read.substr(0, wanted);
  if (marker.substr(held_.size(), next.size()) != next) {
    AddOwnData(held_);
    held_.clear();
    state_ = State::kInData;
    return 0;
  }
  wholeReadRule = false;
  if (next.size() < wanted) {
    held_.append(next);
    if (held_ == kEndMarker) {  // it ends the read, so it counts
      held_.clear();
      AddEnd();
      state_ = State::kBetweenMessages;
    }
    return kNotFound;
  }
  held_.clear();
  if (state_ == State::kInData) AddEnd();
  StartName();
  return wanted;
}

void MessageParser::Parse(std::string_view read, std::size_t at, bool wholeReadRule) {
  while (at != kNotFound) {
    switch (state_) {
      case State::kInName:
        if (!ParseName(read, at)) return;
        wholeReadRule = false;
        break;
      case State::kBetweenMessages:
        // Only at the start of a read: a counted "END||" that ends one, or the stream's start.
        if (at == read.size()) return;
        if (kFileStartMarker.starts_with(read.substr(at))) {
          held_.assign(read.substr(at));
          return;
        }
        state_ = State::kInData;
        break;
      case State::kInData:
        at = ParseData(read, at, wholeReadRule);
        wholeReadRule = false;
        break;
    }
  }
}

// Data from `at` up to a counted "END||". Returns where a name begins after it, or kNotFound when
// the read is used up.
std::size_t MessageParser::ParseData(std::string_view read, std::size_t at, bool wholeReadRule) {
  const std::size_t end = FindCountedEnd(read, at);
  if (end == kNotFound) {
    const std::size_t tail = BoundaryBeginningAtEnd(read.substr(at));
    if (wholeReadRule) {
      TakeWholeRead(read, tail);
    } else {
      AddData(read.substr(at, read.size() - tail - at));
      held_.assign(read.substr(read.size() - tail));
    }
    return kNotFound;
  }
  AddData(read.substr(at, end - at));
  AddEnd();
  const std::size_t after = end + kEndMarker.size();
  if (after == read.size()) {
    state_ = State::kBetweenMessages;
    return kNotFound;
  }
  StartName();
  return after + kFileStartMarker.size();
}

// A read with no counted marker in it, as a phone that pauses sends it. Its last `tail` bytes may
// begin "END||STAT||" and are held when the rest is file data.
void MessageParser::TakeWholeRead(std::string_view read, std::size_t tail) {
  const std::string_view body = read.substr(0, read.size() - tail);
  if (KindOfTextPart(body) == WholeRead::kData) {
    AddData(body);
    held_.assign(read.substr(body.size()));
    state_ = State::kInData;
    return;
  }
  // Not file data: the whole read is one message, its last bytes included. What made the body a
  // message is in the whole read's text too.
  if (KindOfTextPart(read) != WholeRead::kFileStart) {
    AddEnd();
    state_ = State::kBetweenMessages;
    return;
  }
  const std::size_t mark = scratch_.size();
  text::AppendPercentDecoded(read, scratch_);
  RemoveFileStartMarkers(scratch_, mark);
  DropLineEnd(scratch_);
  AddFileStart(mark);
  state_ = State::kInData;
}

MessageParser::WholeRead MessageParser::KindOf(std::string_view decoded) {
  if (decoded.find(kFileStartMarker) != kNotFound) return WholeRead::kFileStart;
  if (decoded.find(kEndMarker) != kNotFound) return WholeRead::kEnd;
  return WholeRead::kData;
}

// What the text part of `bytes` holds once percent-decoded. It is decoded a block at a time into
// a small buffer, so that a large read is looked at while it is in the cache.
MessageParser::WholeRead MessageParser::KindOfTextPart(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  if (text.find('%') == kNotFound) return KindOf(text);
  constexpr std::size_t kBlock = 16 * 1024;
  // A marker may begin in one block and end in the next.
  constexpr std::size_t kOverlap = kFileStartMarker.size() - 1;
  bool holdsEnd = false;
  decoded_.clear();
  for (std::size_t from = 0; from < text.size();) {
    // A block ends where no escape can be cut: not one or two bytes after a "%".
    std::size_t to = std::min(text.size(), from + kBlock);
    while (to < text.size() && (text[to - 1] == '%' || text[to - 2] == '%')) ++to;
    decoded_.erase(0, decoded_.size() - std::min(decoded_.size(), kOverlap));
    text::AppendPercentDecoded(text.substr(from, to - from), decoded_);
    const WholeRead kind = KindOf(decoded_);
    if (kind == WholeRead::kFileStart) return kind;
    holdsEnd = holdsEnd || kind == WholeRead::kEnd;
    from = to;
  }
  return holdsEnd ? WholeRead::kEnd : WholeRead::kData;
}

// The name's bytes from `at` on. Returns whether the name ended; `at` is then where parsing goes
// on. False when the read ended first: the name is held for the next read.
bool MessageParser::ParseName(std::string_view read, std::size_t& at) {
  for (; at < read.size(); ++at) {
    std::size_t length = 0;
    switch (TakeNameByte(static_cast<std::uint8_t>(read[at]), length)) {
      case NameByte::kTaken:
        break;
      case NameByte::kCompletesBoundary:
        held_.resize(length);
        EmitName(length);
        AddEnd();
        StartName();
        break;
      case NameByte::kEndsName: {
        const bool bytesReleased = length < held_.size();
        EmitName(length);
        if (!bytesReleased && IsNameTerminator(read.substr(at))) at = read.size();
        return true;
      }
    }
  }
  const bool endsWithEndMarker = pendingFrom_ != kNotFound && utf8Needed_ == 0 &&
                                 held_.size() - pendingFrom_ == kEndMarker.size();
  if (!endsWithEndMarker) return false;
  // "END||" ends the read, so it counts.
  held_.resize(pendingFrom_);
  EmitName(held_.size());
  AddEnd();
  state_ = State::kBetweenMessages;
  at = kNotFound;
  return true;
}

// One more byte after a name's bytes so far. `nameLength` is set when the name has ended (the
// byte is not taken) or when the byte completes "END||STAT||" after it.
MessageParser::NameByte MessageParser::TakeNameByte(std::uint8_t byte, std::size_t& nameLength) {
  if (pendingFrom_ != kNotFound && utf8Needed_ == 0) {  // after a possible "END||STAT||"
    const std::size_t matched = held_.size() - pendingFrom_;
    if (byte == static_cast<std::uint8_t>(kMessageBoundary[matched])) {
      held_.push_back(static_cast<char>(byte));
      nameLength = pendingFrom_;
      return matched + 1 == kMessageBoundary.size() ? NameByte::kCompletesBoundary : NameByte::kTaken;
    }
    // Those bytes were the name's, as far as its limit reaches.
    pendingFrom_ = kNotFound;
    if (held_.size() > kMaxNameBytes) {
      nameLength = kMaxNameBytes;
      return NameByte::kEndsName;
    }
  }
  if (utf8Needed_ > 0) {
    if (byte < utf8Low_ || byte > utf8High_) {
      nameLength = pendingFrom_;
      return NameByte::kEndsName;
    }
    held_.push_back(static_cast<char>(byte));
    utf8Low_ = 0x80;
    utf8High_ = 0xBF;
    if (--utf8Needed_ == 0) pendingFrom_ = kNotFound;
    return NameByte::kTaken;
  }
  // A character begins: its length, and the range of its second byte, which rules out overlong
  // forms, surrogates and values above U+10FFFF.
  std::size_t length = 1;
  std::uint8_t low = 0x80, high = 0xBF;
  if (byte >= 0x20 && byte < 0x7F) {
    length = 1;
  } else if (byte >= 0xC2 && byte <= 0xDF) {
    length = 2;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    length = 3;
    if (byte == 0xE0) low = 0xA0;
    if (byte == 0xED) high = 0x9F;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    length = 4;
    if (byte == 0xF0) low = 0x90;
    if (byte == 0xF4) high = 0x8F;
  } else {
    nameLength = held_.size();
    return NameByte::kEndsName;
  }
  if (held_.size() + length > kMaxNameBytes) {
    nameLength = held_.size();
    return NameByte::kEndsName;
  }
  if (length > 1 || byte == static_cast<std::uint8_t>(kMessageBoundary.front())) pendingFrom_ = held_.size();
  utf8Needed_ = static_cast<int>(length) - 1;
  utf8Low_ = low;
  utf8High_ = high;
  held_.push_back(static_cast<char>(byte));
  return NameByte::kTaken;
}

// What is held ends here: at the stream's end, or before a read that begins with "STAT||".
void MessageParser::EndHeld() {
  if (state_ != State::kInName) {
    AddOwnData(held_);
    held_.clear();
    return;
  }
  std::size_t length = held_.size();
  if (pendingFrom_ != kNotFound) length = utf8Needed_ > 0 ? pendingFrom_ : std::min(length, kMaxNameBytes);
  EmitName(length);
}

// The file start of held_'s first `length` bytes; the rest of held_ is data.
void MessageParser::EmitName(std::size_t length) {
  const std::size_t mark = scratch_.size();
  text::AppendPercentDecoded(std::string_view(held_).substr(0, length), scratch_);
  RemoveFileStartMarkers(scratch_, mark);
  AddFileStart(mark);
  AddOwnData(std::string_view(held_).substr(length));
  held_.clear();
  pendingFrom_ = kNotFound;
  utf8Needed_ = 0;
  state_ = State::kInData;
}

void MessageParser::StartName() {
  state_ = State::kInName;
  held_.clear();
  pendingFrom_ = kNotFound;
  utf8Needed_ = 0;
}

void MessageParser::AddData(std::string_view bytes) {
  if (bytes.empty()) return;
  pieces_.push_back({MessagePiece::Kind::kData, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}});
}

void MessageParser::AddOwnData(std::string_view bytes) {
  if (bytes.empty()) return;
  const std::size_t offset = scratch_.size();
  scratch_.append(bytes);
  AddScratchPiece(MessagePiece::Kind::kData, offset);
}

void MessageParser::AddEnd() { pieces_.push_back({MessagePiece::Kind::kEnd, {}}); }

void MessageParser::AddFileStart(std::size_t scratchFrom) { AddScratchPiece(MessagePiece::Kind::kFileStart, scratchFrom); }

void MessageParser::AddScratchPiece(MessagePiece::Kind kind, std::size_t offset) {
  scratchPieces_.push_back({pieces_.size(), offset, scratch_.size() - offset});
  pieces_.push_back({kind, {}});
}

}  // namespace quenmora::link
