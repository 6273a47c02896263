#pragma once
// Splits one connection's byte stream into the phone's messages: file starts with their names,
// file data, and ends. One parser per connection, fed every read as it arrives; it hands each
// piece to a sink as soon as it has found it.
//
// The promise: for any stream a phone produces, the sink gets the same pieces whatever the read
// boundaries, once consecutive data is joined: each photo's file start, its data, its end. A
// phone's stream is, any number of times:
//   "STAT||", then a name of at most kMaxNameBytes bytes: percent-encoded (A-Z a-z 0-9 - . _ ~ and
//   %XX), or more generally whole characters of printable ASCII other than "|" and of valid UTF-8;
//   then the photo's data, empty or beginning with a byte that cannot begin a character of a
//   name (below 0x20, 0x7F, 0x80..0xC1 or 0xF5..0xFF: JPEG's 0xFF, PNG's 0x89 and HEIC's 0x00
//   all do), in which no run of bytes holds "STAT||" or "END||", as it is or percent-decoded
//   (true of any data without "|" and without "%7C" or "%7c");
//   then "END||";
// with or without pauses anywhere.
// Beyond that stream, a read that holds no raw marker, between messages or in a photo's data, is
// one message, told by the markers in its text (its bytes up to the first zero byte) once
// percent-decoded: a phone that pauses around its messages may percent-encode the markers.
// Markers are looked for before any conversion of a name to code page 936, so the look-alikes that
// Windows' best-fit conversion makes of a few characters (a fullwidth "|", say) are never taken
// for marker characters.
//
// The limits:
// - A read that ends right after "\0", "\r", "\n" or "\r\n" at the beginning of a photo's data
//   loses those bytes, because that is also how some phones end a file start. A HEIC photo,
//   which begins with a zero byte, is hit when the network cuts a read one byte into it.
// - Data that begins with printable ASCII or UTF-8 (a GIF's "GIF89a") is outside the promise: its
//   first bytes are taken as part of the name.
// - The parser holds at most kMaxHeldBytes of the stream between reads, plus buffers it reuses,
//   which grow to about the largest read at most; nothing grows with the stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/wire/boundary_match.h"
#include "link/wire/utf8_scanner.h"

namespace quenmora::link {

// Receives a connection's messages as the parser finds them. Spans are valid only during the call.
class MessageSink {
 public:
  virtual void FileStart(std::span<const std::uint8_t> name) = 0;  // percent-decoded UTF-8, every "STAT||" removed
  virtual void Data(std::span<const std::uint8_t> bytes) = 0;      // never empty; a span of the read where it can be
  virtual void End() = 0;

 protected:
  ~MessageSink() = default;
};

class MessageParser {
 public:
  // A name's longest length, and the most the parser holds between reads: a name at its limit
  // followed by all but the last byte of "END||STAT||".
  static constexpr std::size_t kMaxNameBytes = 4096;
  static constexpr std::size_t kMaxHeldBytes = kMaxNameBytes + 10;

  // One read of the connection: its pieces go to `sink` in order.
  void Feed(std::span<const std::uint8_t> read, MessageSink& sink);
  // The connection closed: what is held goes to the sink; afterwards as new.
  void Finish(MessageSink& sink);

  // How many bytes of the stream are held for the next read.
  std::size_t heldBytes() const { return held_.size(); }

 private:
  enum class State {
    kBetweenMessages,  // held_: a beginning of "STAT||"
    kInName,           // held_: the name's bytes so far, then perhaps a character or a boundary begun
    kInData,           // held_: a beginning of "END||STAT||"
  };

  void ResumeHeldMarker(std::string_view read, std::string_view marker, MessageSink& sink);
  bool TakeWholeRead(std::string_view read, MessageSink& sink);
  void Parse(std::string_view read, std::size_t at, MessageSink& sink);
  std::size_t ParseName(std::string_view read, std::size_t at, MessageSink& sink);
  std::size_t ParseData(std::string_view read, std::size_t at, MessageSink& sink);
  void StartName();
  void EndName(std::size_t length, MessageSink& sink);
  void EndHeld(MessageSink& sink);

  State state_ = State::kBetweenMessages;
  std::string held_;
  Utf8Scanner character_;   // kInName: the character the name's held bytes end in
  BoundaryMatch boundary_;  // kInName: a possible "END||STAT||" its held bytes end in
  std::string name_;        // a file start's name, decoded
  std::string work_;        // the whole-read classification's
};

}  // namespace quenmora::link
