#include "link/message_parser.h"

#include <algorithm>

#include "link/wire_format.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The first "END||" that begins in [from, until) and counts: "STAT||" follows at once, or it ends
// the read.
std::size_t FindCountedEnd(std::string_view read, std::size_t from, std::size_t until) {
  const std::string_view searched = read.substr(0, until + kEndMarker.size() - 1);
  for (std::size_t at = searched.find(kEndMarker, from); at != kNotFound; at = searched.find(kEndMarker, at + 1)) {
    const std::size_t after = at + kEndMarker.size();
    if (after == read.size() || read.substr(after).starts_with(kFileStartMarker)) return at;
  }
  return kNotFound;
}

// A large read is gone through a block at a time: a block and its decoding stay in the first-level
// cache while the block is searched, decoded and searched again. A block ends where no escape is
// cut: not one or two bytes after a "%".
std::size_t BlockEnd(std::string_view bytes, std::size_t from) {
  constexpr std::size_t kBlock = 8 * 1024;
  std::size_t to = std::min(bytes.size(), from + kBlock);
  while (to < bytes.size() && (bytes[to - 1] == '%' || bytes[to - 2] == '%')) ++to;
  return to;
}

// What a read taken as a whole is.
enum class WholeRead { kData, kFileStart, kEnd };

// What the text part of some bytes holds once percent-decoded, given a block at a time. Of each
// block's decoding only its last bytes are kept, in the caller's buffer, for a marker that goes
// on in the next block.
class TextPartScan {
 public:
  explicit TextPartScan(std::string& decoded) : decoded_(decoded) { decoded_.clear(); }

  void Add(std::string_view block) {
    if (Decided()) return;
    const std::size_t textEnd = block.find('\0');
    ended_ = textEnd != kNotFound;
    decoded_.erase(0, decoded_.size() - std::min(decoded_.size(), kFileStartMarker.size() - 1));
    text::AppendPercentDecoded(block.substr(0, textEnd), decoded_);
    holdsFileStart_ = decoded_.find(kFileStartMarker) != kNotFound;
    holdsEnd_ = holdsEnd_ || decoded_.find(kEndMarker) != kNotFound;
  }
  // Nothing more can change the kind.
  bool Decided() const { return ended_ || holdsFileStart_; }
  WholeRead Kind() const {
    return holdsFileStart_ ? WholeRead::kFileStart : holdsEnd_ ? WholeRead::kEnd : WholeRead::kData;
  }

 private:
  std::string& decoded_;
  bool ended_ = false, holdsFileStart_ = false, holdsEnd_ = false;
};

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
  if (wholeReadRule && TakeWholeRead(read)) return kNotFound;
  const std::size_t end = FindCountedEnd(read, at, read.size());
  if (end == kNotFound) {
    const std::size_t tail = BoundaryBeginningAtEnd(read.substr(at));
    AddData(read.substr(at, read.size() - tail - at));
    held_.assign(read.substr(read.size() - tail));
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

// A read with no counted marker in it, as a phone that pauses sends it; false, with nothing done,
// when it holds a counted "END||". Its last bytes that may begin "END||STAT||" are held when the
// rest is file data.
bool MessageParser::TakeWholeRead(std::string_view read) {
  const std::size_t tail = BoundaryBeginningAtEnd(read);
  const std::string_view body = read.substr(0, read.size() - tail);
  TextPartScan bodyText(decoded_);
  for (std::size_t from = 0, to = 0; from < read.size(); from = to) {
    to = BlockEnd(read, from);
    if (FindCountedEnd(read, from, to) != kNotFound) return false;
    if (from < body.size()) bodyText.Add(body.substr(from, to - from));
  }
  if (bodyText.Kind() == WholeRead::kData) {
    AddData(body);
    held_.assign(read.substr(body.size()));
    state_ = State::kInData;
    return true;
  }
  // Not file data: the whole read is one message, its last bytes included. What made the body a
  // message is in the whole read's text too.
  TextPartScan readText(decoded_);
  for (std::size_t from = 0, to = 0; from < read.size() && !readText.Decided(); from = to) {
    to = BlockEnd(read, from);
    readText.Add(read.substr(from, to - from));
  }
  if (readText.Kind() != WholeRead::kFileStart) {
    AddEnd();
    state_ = State::kBetweenMessages;
    return true;
  }
  const std::size_t mark = scratch_.size();
  text::AppendPercentDecoded(read, scratch_);
  RemoveFileStartMarkers(scratch_, mark);
  DropLineEnd(scratch_);
  AddFileStart(mark);
  state_ = State::kInData;
  return true;
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
