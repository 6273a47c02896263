#include "link/wire/message_parser.h"

// The rules that keep the header's promise, each cited where it is applied:
//  1. A raw "END||" counts when "STAT||" follows at once, or when it ends the read.
//  2. At the beginning of every read, and between messages (at the stream's start, after a
//     counted "END||"), a raw "STAT||" counts: what is held ends (rule 11) and a name begins.
//  3. Between messages, a read that is a proper beginning of "STAT||" is held for the next.
//  4. A name runs over printable ASCII and valid UTF-8 (utf8_scanner.h). It ends before the first
//     byte that cannot belong to it, and before a counted "END||"; what follows is data.
//  5. A name also ends when its next character would make it longer than kMaxNameBytes, counted
//     over the stream. The bytes of a possible "END||STAT||" that took it past that are data.
//  6. A name that runs to the end of a read is held and goes on in the next one; its file start
//     comes when it has ended.
//  7. In the read in which a name ends, bytes after it that are nothing but "\0", "\r", "\n" or
//     "\r\n" are dropped: some phones end a file start so.
//  8. A read that ends in data with a proper beginning of "END||STAT||" other than "END||" holds
//     those bytes back; with the next read they complete a marker, or are data after all, handed
//     on first.
//  9. A read that holds no counted raw marker, completes none held back and does not go on with a
//     name is taken as a whole (whole_read.h), as a phone that pauses between messages sends it.
//     A file start's name is then the whole read's text, with a trailing "\r", "\n" or "\r\n"
//     dropped.
// 10. A name is handed on percent-decoded, every "STAT||" removed in one left-to-right pass: what
//     a removal joins up is not looked at again. Decoding UTF-8 and converting it to code page
//     936 make no ASCII character but the "?" for what cannot be converted, and remove none, so
//     the markers found here are the ones the converted text holds.
// 11. What is held when it ends (the connection closes, or rule 2) is handed on: a name as its
//     file start, a character it had begun as data, a possible "END||STAT||" after it as the
//     name's as far as its limit reaches; other held bytes as data.

#include <algorithm>

#include "link/wire/whole_read.h"
#include "link/wire/wire_format.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void HandData(std::string_view bytes, MessageSink& sink) {
  if (!bytes.empty()) sink.Data(AsBytes(bytes));
}

// Rule 4: the length of the name's character that `byte` begins; 0 when it cannot begin one.
std::size_t NameCharacterLength(std::uint8_t byte) {
  if (byte < 0x80) return byte >= 0x20 && byte < 0x7F ? 1 : 0;
  return Utf8Scanner::LengthOf(byte);
}

// Rule 7: what some phones send after a file start's name.
bool IsNameTerminator(std::string_view bytes) {
  return bytes == std::string_view("\0", 1) || bytes == "\r" || bytes == "\n" || bytes == "\r\n";
}

// Rule 10: a name's bytes as the sink gets them, into `name`.
void DecodeName(std::string_view bytes, std::string& name) {
  name.clear();
  text::AppendPercentDecoded(bytes, name);
  std::size_t write = 0;
  for (std::size_t read = 0;;) {
    const std::size_t found = name.find(kFileStartMarker, read);
    const std::size_t until = found == kNotFound ? name.size() : found;
    name.replace(write, until - read, name, read, until - read);
    write += until - read;
    if (found == kNotFound) break;
    read = found + kFileStartMarker.size();
  }
  name.resize(write);
}

}  // namespace

void MessageParser::Feed(std::span<const std::uint8_t> bytes, MessageSink& sink) {
  const std::string_view read = AsText(bytes);
  if (read.empty()) return;
  if (read.starts_with(kFileStartMarker)) {  // rule 2
    EndHeld(sink);
    StartName();
    Parse(read, kFileStartMarker.size(), sink);
    return;
  }
  if (state_ == State::kInName) {  // rule 6
    Parse(read, 0, sink);
    return;
  }
  if (!held_.empty()) {
    const std::string_view marker = state_ == State::kInData ? kMessageBoundary : kFileStartMarker;
    if (marker.substr(held_.size()).starts_with(read.substr(0, marker.size() - held_.size()))) {
      ResumeHeldMarker(read, marker, sink);
      return;
    }
    // Rule 8: the bytes held back were data after all.
    HandData(held_, sink);
    held_.clear();
    state_ = State::kInData;
  }
  if (state_ == State::kBetweenMessages && kFileStartMarker.starts_with(read)) {  // rule 3
    held_.assign(read);
    return;
  }
  state_ = State::kInData;
  if (!TakeWholeRead(read, sink)) Parse(read, 0, sink);
}

void MessageParser::Finish(MessageSink& sink) {
  EndHeld(sink);
  state_ = State::kBetweenMessages;
}

// Held bytes of `marker` that the read goes on with: it completes the marker, or ends first.
void MessageParser::ResumeHeldMarker(std::string_view read, std::string_view marker, MessageSink& sink) {
  const std::size_t wanted = marker.size() - held_.size();
  if (read.size() < wanted) {
    held_.append(read);
    if (held_ == kEndMarker) {  // rule 1: it ends the read
      held_.clear();
      sink.End();
      state_ = State::kBetweenMessages;
    }
    return;
  }
  if (state_ == State::kInData) sink.End();  // rule 1
  StartName();                               // rule 2
  Parse(read, wanted, sink);
}

// Rule 9. False, with nothing handed on, when a raw "END||" in the read counts.
bool MessageParser::TakeWholeRead(std::string_view read, MessageSink& sink) {
  const WholeRead whole = ClassifyWholeRead(read, work_);
  switch (whole.kind) {
    case WholeRead::Kind::kNotWhole:
      return false;
    case WholeRead::Kind::kData:
      HandData(read.substr(0, whole.dataSize), sink);
      held_.assign(read.substr(whole.dataSize));  // rule 8
      return true;
    case WholeRead::Kind::kEnd:
      sink.End();
      state_ = State::kBetweenMessages;
      return true;
    case WholeRead::Kind::kFileStart:
      DecodeName(read, name_);
      if (name_.ends_with('\n')) name_.pop_back();
      if (name_.ends_with('\r')) name_.pop_back();
      sink.FileStart(AsBytes(name_));
      return true;
  }
  return true;
}

// The read from `at` on, a name or data at a time.
void MessageParser::Parse(std::string_view read, std::size_t at, MessageSink& sink) {
  while (at != kNotFound) at = state_ == State::kInName ? ParseName(read, at, sink) : ParseData(read, at, sink);
}

// The name's bytes from `at` on. Returns where the data after it begins, or kNotFound when the
// read is used up.
std::size_t MessageParser::ParseName(std::string_view read, std::size_t at, MessageSink& sink) {
  for (; at < read.size(); ++at) {
    const auto byte = static_cast<std::uint8_t>(read[at]);
    if (boundary_.matched() > 0) {
      const std::size_t nameLength = held_.size() - boundary_.matched();
      switch (boundary_.Next(byte)) {
        case BoundaryMatch::Step::kGoesOn:
          held_.push_back(read[at]);
          continue;
        case BoundaryMatch::Step::kComplete:  // rules 1, 2 and 4
          held_.resize(nameLength);
          EndName(nameLength, sink);
          sink.End();
          StartName();
          continue;
        case BoundaryMatch::Step::kMismatch:
          if (held_.size() > kMaxNameBytes) {  // rule 5
            EndName(kMaxNameBytes, sink);
            return at;
          }
          break;  // those bytes were the name's, and this one may be too
      }
    } else if (const std::size_t begun = character_.unfinished(); begun > 0) {
      if (!character_.Continue(byte)) {  // rule 4
        EndName(held_.size() - begun, sink);
        return at;
      }
      held_.push_back(read[at]);
      continue;
    }
    const std::size_t length = NameCharacterLength(byte);
    if (length == 0 || held_.size() + length > kMaxNameBytes) {  // rules 4 and 5
      EndName(held_.size(), sink);
      return IsNameTerminator(read.substr(at)) ? kNotFound : at;  // rule 7
    }
    if (length > 1) character_.Begin(byte);
    boundary_.TryBegin(byte);
    held_.push_back(read[at]);
  }
  if (!boundary_.matchedEnd()) return kNotFound;  // rule 6
  // Rule 1: "END||" ends the read.
  const std::size_t nameLength = held_.size() - kEndMarker.size();
  held_.resize(nameLength);
  EndName(nameLength, sink);
  sink.End();
  state_ = State::kBetweenMessages;
  return kNotFound;
}

// Data from `at` up to a counted "END||". Returns where a name begins after it, or kNotFound when
// the read is used up.
std::size_t MessageParser::ParseData(std::string_view read, std::size_t at, MessageSink& sink) {
  const std::size_t end = FindCountedEnd(read, at, read.size());  // rule 1
  if (end == kNotFound) {
    const std::size_t heldBack = BoundaryBeginningAtEnd(read.substr(at));  // rule 8
    HandData(read.substr(at, read.size() - heldBack - at), sink);
    held_.assign(read.substr(read.size() - heldBack));
    return kNotFound;
  }
  HandData(read.substr(at, end - at), sink);
  sink.End();
  const std::size_t after = end + kEndMarker.size();
  if (after == read.size()) {
    state_ = State::kBetweenMessages;
    return kNotFound;
  }
  StartName();  // rule 2
  return after + kFileStartMarker.size();
}

void MessageParser::StartName() {
  state_ = State::kInName;
  held_.clear();
  character_ = {};
  boundary_ = {};
}

// The file start of held_'s first `length` bytes; the rest of held_ is data.
void MessageParser::EndName(std::size_t length, MessageSink& sink) {
  const std::string_view held(held_);
  DecodeName(held.substr(0, length), name_);
  sink.FileStart(AsBytes(name_));
  HandData(held.substr(length), sink);
  held_.clear();
  character_ = {};
  boundary_ = {};
  state_ = State::kInData;
}

// Rule 11.
void MessageParser::EndHeld(MessageSink& sink) {
  if (state_ != State::kInName) {
    HandData(held_, sink);
    held_.clear();
    return;
  }
  std::size_t length = held_.size() - character_.unfinished();
  if (boundary_.matched() > 0) length = std::min(length, kMaxNameBytes);
  EndName(length, sink);
}

}  // namespace quenmora::link
