#pragma once
// Whether a received file name may be used inside the receive directory. Anyone on the network
// can send a name, so a name that could leave the directory or reach a device is refused.
#include <string_view>

namespace quenmora::link {

#ifdef _WIN32
inline constexpr bool kWindowsNameRules = true;
#else
inline constexpr bool kWindowsNameRules = false;
#endif

// `name` is the decoded name in UTF-16 (checked there, not on code-page-936 bytes, whose trail
// bytes can look like "\" or "|"). Refused: an empty name, one that begins with "\" or "/",
// holds ":" or has a ".." component; with `deviceNamesReserved`, also a component naming a
// device (CON, NUL, COM1, ...) with or without an extension.
bool IsSafeFileName(std::u16string_view name, bool deviceNamesReserved = kWindowsNameRules);

}  // namespace quenmora::link
