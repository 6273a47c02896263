#pragma once
// Splits one connection's byte stream into the phone's messages: file starts with their names,
// file data, and ends. One parser per connection, fed every read as it arrives.
//
// The contract: for any stream a phone produces, the pieces are the same whatever the read
// boundaries, once consecutive data pieces are joined. A phone's stream is, any number of times:
//   "STAT||", then a name of at most 4096 bytes: percent-encoded (A-Z a-z 0-9 - . _ ~ and %XX),
//   or more generally whole characters of printable ASCII other than "|" and of valid UTF-8;
//   then the photo's data, empty or beginning with a byte that cannot begin a character of a
//   name (below 0x20, 0x7F, 0x80..0xC1 or 0xF5..0xFF: JPEG's 0xFF, PNG's 0x89 and HEIC's 0x00
//   all do), in which no run of bytes holds "STAT||" or "END||", as it is or percent-decoded
//   (true of any data without "|" and without "%7C" or "%7c");
//   then "END||";
// with or without pauses anywhere.
// The one limit: a read that ends right after "\0", "\r", "\n" or "\r\n" at the beginning of a
// photo's data loses those bytes, because that is also how some phones end a file start. A HEIC
// photo, which begins with a zero byte, is hit when the network cuts a read one byte into it.
//
// The rules that give this:
// - Between messages (at the start, and after a counted "END||") and at the beginning of every
//   read, a raw "STAT||" counts, and a name begins after it. Between messages, a read that is a
//   proper beginning of "STAT||" is held for the next.
// - A name runs over printable ASCII and valid UTF-8 sequences (no overlong forms, surrogates or
//   values above U+10FFFF). It ends before the first byte that cannot belong to it, before a
//   counted "END||", or when the next character would make it longer than 4096 bytes (counted over
//   the stream); what follows is data. A name that runs to the end of a read is held and goes on
//   in the next one; its file start comes when it has ended. In the read in which a name ends,
//   bytes after it that are nothing but "\0", "\r", "\n" or "\r\n" are dropped.
// - In data, a raw "END||" counts when "STAT||" follows at once, or when it ends the read. A read
//   that ends with a proper beginning of "END||STAT||" other than "END||" holds those bytes back;
//   with the next read they complete a marker or are data after all, written first.
// - A read that holds no counted raw marker, completes none held back, and does not go on with a
//   name, is taken as a whole, as a phone that pauses between messages sends it: its text part is
//   its bytes up to the first zero byte; if that text, percent-decoded, holds "STAT||" the read is
//   a file start whose name is that text with every "STAT||" removed and a trailing "\r", "\n" or
//   "\r\n" dropped; if it holds "END||" the read is an end; otherwise it is data. So
//   percent-encoded markers work as long as the phone pauses around them.
// Markers are looked for in the percent-decoded bytes, before any conversion of the name to code
// page 936: decoding UTF-8 and converting to code page 936 make no ASCII character but the "?"
// for what cannot be converted, and remove none. The look-alikes that Windows' best-fit
// conversion makes of a few characters (a fullwidth "|", say) are therefore never taken for
// marker characters.
//
// Bounds: the parser holds at most kMaxHeldBytes of the stream between reads, plus buffers it
// reuses, which grow to about the largest read at most; nothing grows with the stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::link {

struct MessagePiece {
  enum class Kind {
    kFileStart,  // bytes: the name, percent-decoded (UTF-8 as the phone sent it, not yet code
                 // page 936), every "STAT||" removed in one left-to-right pass
    kData,       // bytes: file data as it came, zero bytes and all; never empty
    kEnd,        // a counted end; bytes empty
  };
  Kind kind;
  std::span<const std::uint8_t> bytes;  // valid until the parser's next Feed or Finish
};

class MessageParser {
 public:
  // A name's longest length, and the most the parser holds between reads: a name at its limit
  // followed by all but the last byte of "END||STAT||".
  static constexpr std::size_t kMaxNameBytes = 4096;
  static constexpr std::size_t kMaxHeldBytes = kMaxNameBytes + 10;

  // One read of the connection: its pieces in order.
  std::span<const MessagePiece> Feed(std::span<const std::uint8_t> read);
  // The connection has closed: whatever is held, as pieces (a held name becomes its file start,
  // held bytes data). Afterwards the parser is as new.
  std::span<const MessagePiece> Finish();

  // How many bytes of the stream are held for the next read.
  std::size_t heldBytes() const { return held_.size(); }

 private:
  enum class State {
    kBetweenMessages,  // held_: a beginning of "STAT||"
    kInName,           // held_: the name's bytes so far
    kInData,           // held_: a beginning of "END||STAT||"
  };
  enum class NameByte { kTaken, kEndsName, kCompletesBoundary };

  void Begin();
  std::span<const MessagePiece> Pieces();
  std::size_t ResolveHeld(std::string_view read, bool& wholeReadRule);
  void Parse(std::string_view read, std::size_t at, bool wholeReadRule);
  std::size_t ParseData(std::string_view read, std::size_t at, bool wholeReadRule);
  bool TakeWholeRead(std::string_view read);
  bool ParseName(std::string_view read, std::size_t& at);
  NameByte TakeNameByte(std::uint8_t byte, std::size_t& nameLength);
  void EndHeld();
  void EmitName(std::size_t length);
  void StartName();

  void AddData(std::string_view bytes);     // bytes of the read
  void AddOwnData(std::string_view bytes);  // bytes the parser held
  void AddEnd();
  void AddFileStart(std::size_t scratchFrom);
  void AddScratchPiece(MessagePiece::Kind kind, std::size_t offset);

  State state_ = State::kBetweenMessages;
  std::string held_;
  // Where in held_ a name's undecided end begins, a UTF-8 sequence or a possible "END||STAT||",
  // or npos. A UTF-8 sequence still needs utf8Needed_ bytes, the next in [utf8Low_, utf8High_].
  std::size_t pendingFrom_ = std::string::npos;
  int utf8Needed_ = 0;
  std::uint8_t utf8Low_ = 0, utf8High_ = 0;

  std::vector<MessagePiece> pieces_;
  // This call's bytes that are the parser's own (names, bytes held before). Pieces refer to it by
  // offset until the call returns, so it may grow meanwhile.
  std::string scratch_;
  struct ScratchPiece {
    std::size_t index, offset, size;
  };
  std::vector<ScratchPiece> scratchPieces_;
  // The end of a block of a read's decoded text part.
  std::string decoded_;
};

}  // namespace quenmora::link
