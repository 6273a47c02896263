#pragma once
// What the phone and the desktop say to each other on the wire. Constants only, so that the tools,
// which play one side or the other, can use them without linking the link's code.
#include <cstdint>
#include <string_view>

namespace quenmora::link {

// The port the desktop listens on and the phone connects to.
inline constexpr std::uint16_t kPhonePort = 3456;

// The phone's photo message: kFileStartMarker, the percent-encoded name, the photo's bytes, then
// kEndMarker.
inline constexpr std::string_view kFileStartMarker = "STAT||";
inline constexpr std::string_view kEndMarker = "END||";
// What stands between two photos when the phone does not pause.
inline constexpr std::string_view kMessageBoundary = "END||STAT||";
static_assert(kMessageBoundary.substr(0, kEndMarker.size()) == kEndMarker &&
              kMessageBoundary.substr(kEndMarker.size()) == kFileStartMarker);

// The desktop's roster message: kRosterOpening, the roster text, kRosterClosing. The bars stand on
// opposite sides: after the word in the opening, before it in the closing.
inline constexpr std::string_view kRosterOpening = "STAT||";
inline constexpr std::string_view kRosterClosing = "||END";

}  // namespace quenmora::link
