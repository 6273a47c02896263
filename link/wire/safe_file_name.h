#pragma once
// Whether a received file name may be used inside the receive directory. Anyone on the network
// can send a name, so a name that could leave the directory, reach a device or put a program (or
// a shortcut to one) where someone may open it is refused.
#include <string_view>

namespace quenmora::link {

#ifdef _WIN32
inline constexpr bool kWindowsNameRules = true;
#else
inline constexpr bool kWindowsNameRules = false;
#endif

// Checks the decoded name `name` in UTF-16, not in code page 936, whose trail bytes can look like
// "\" or "|". The components are the parts "\" and "/" separate. Refused everywhere:
// - an empty name;
// - a name that begins with "\" or "/" (a root or a network share);
// - a name holding ":" (a drive or an alternate data stream);
// - a name with a component "..";
// - a component whose type, the text after its last ".", is one that Windows runs or follows when
//   the file is opened (a program, a script, a shortcut), in any mix of upper and lower case; the
//   types are kRunnableTypes in safe_file_name.cpp, the one place they are listed;
// - a component named desktop.ini or autorun.inf, in any mix of upper and lower case, which
//   Windows reads on its own when it shows the folder or the drive.
// The last two look at the component as Windows would use it, with trailing dots and spaces
// trimmed ("a.EXE. ." is "a.EXE"). They hold on Linux too: the receive directory may be a share
// that Windows PCs open.
// With `windowsRules`, also refused:
// - a component naming a device in any mix of upper and lower case, with or without an extension
//   and with or without spaces before its ".": CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9
//   and LPT1 to LPT9, where the digit may also be the superscript 1, 2 or 3 (U+00B9, U+00B2,
//   U+00B3);
// - a component of only dots and spaces holding at least two dots: Windows trims trailing dots
//   and spaces, so ".. " is "..".
bool IsSafeFileName(std::u16string_view name, bool windowsRules = kWindowsNameRules);

}  // namespace quenmora::link
