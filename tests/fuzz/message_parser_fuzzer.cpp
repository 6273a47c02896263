// The message parser on any bytes cut into reads anywhere: it never crashes and holds a bounded
// number of bytes, and when the bytes are a phone's stream it gives that stream's messages
// whatever the cuts.
//
// The input: a first byte whose low three bits count the cuts and whose top bit asks for a phone
// stream made from the rest; two bytes per cut (its offset, modulo the stream's length plus
// one); the rest, which is the stream or what a phone stream is made from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "../link/phone_stream.h"
#include "fuzz_check.h"
#include "link/wire/message_parser.h"

namespace {

using quenmora::fuzz::Require;
using quenmora::link::MessageParser;
using namespace quenmora::link::testing;

// Takes the next byte of `material`, 0 when it is used up.
std::uint8_t Next(std::string_view& material) {
  if (material.empty()) return 0;
  const auto byte = static_cast<std::uint8_t>(material.front());
  material.remove_prefix(1);
  return byte;
}

// Takes the next two bytes, low byte first.
std::size_t NextTwo(std::string_view& material) {
  const std::size_t low = Next(material);
  return low | std::size_t{Next(material)} << 8;
}

// Photos a phone could send, made from any bytes: names of printable ASCII and Chinese characters,
// raw or percent-encoded; data that begins as JPEG, PNG or HEIC do, or with a line end.
std::vector<PhoneMessage> PhoneMessagesFrom(std::string_view material) {
  static constexpr std::string_view kDataBeginnings[] = {"\xFF", "\x89", std::string_view("\0", 1), "\r", "\n"};
  std::vector<PhoneMessage> messages;
  while (!material.empty()) {
    PhoneMessage message;
    for (int length = Next(material) % 32; length > 0; --length) {
      const std::uint8_t byte = Next(material);
      if (byte >= 0xF0) {
        message.name += byte % 2 == 0 ? "\xE5\xBC\xA0" : "%E5%BC%A0";
      } else {
        const char c = static_cast<char>(0x20 + byte % 95);
        message.name.push_back(c == '|' ? '~' : c);
      }
    }
    const std::size_t dataLength = NextTwo(material) % 2048;
    for (std::size_t i = 0; i < dataLength && !material.empty(); ++i) {
      char byte = static_cast<char>(Next(material));
      if (byte == '|' || (byte == '7' && message.data.ends_with('%'))) byte = '!';
      message.data.push_back(byte);
    }
    if (!message.data.empty()) {
      const auto first = static_cast<std::uint8_t>(message.data[0]);
      const bool mayBeginAName = (first >= 0x20 && first < 0x7F) || (first >= 0xC2 && first <= 0xF4);
      if (mayBeginAName) message.data.replace(0, 1, kDataBeginnings[first % std::size(kDataBeginnings)]);
    }
    messages.push_back(std::move(message));
  }
  return messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::uint8_t header = Next(input);
  std::vector<std::size_t> cuts;
  for (int count = header & 0x07; count > 0; --count) cuts.push_back(NextTwo(input));

  std::vector<PhoneMessage> made;
  const std::string stream = (header & 0x80) != 0 ? StreamOf(made = PhoneMessagesFrom(input)) : std::string(input);
  for (std::size_t& cut : cuts) cut %= stream.size() + 1;
  std::sort(cuts.begin(), cuts.end());

  const Parsed whole = ParseInReads(stream, {});
  const Parsed cutUp = ParseInReads(stream, cuts);
  Require(whole.mostHeld <= MessageParser::kMaxHeldBytes && cutUp.mostHeld <= MessageParser::kMaxHeldBytes,
          "the parser holds no more than its bound");
  const auto messages = MessagesOf(stream);
  if ((header & 0x80) != 0) Require(messages == made, "the phone stream made is one");
  if (messages) {
    Require(whole.pieces == ExpectedPieces(*messages, {}), "a phone stream read whole gives its messages");
    Require(cutUp.pieces == ExpectedPieces(*messages, cuts), "a phone stream cut into reads gives its messages");
  }
  return 0;
}
