#pragma once
// Conversions between code pages and UTF-16. A "text" is a std::string of code-page-936 bytes;
// UTF-16 strings exist only at the edges (Win32 calls, UTF-8 for Linux). Every call names its code
// page: this program never converts through the PC's own ANSI code page, which differs from PC
// to PC.
#include <string>
#include <string_view>

namespace quenmora::text {

inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageGbk = 936;

// Reads `text` in `codePage` and returns it as UTF-16. Invalid input becomes U+FFFD (for UTF-8,
// one per maximal invalid subsequence) and conversion goes on after it. On Linux any code page but
// 65001 is read as 936.
std::u16string MultiByteToUtf16(std::string_view text, unsigned codePage);

// Writes `text` in `codePage`. Characters the code page lacks become "?" (on Windows some become
// look-alikes instead, such as "a" for U+00AA). On Linux any code page but 65001 is written as 936.
std::string Utf16ToMultiByte(std::u16string_view text, unsigned codePage);

// "Ansi" in the two names below always means code page 936, never the PC's own ANSI code page.

// Writes `text` in code page 936 as the program's own texts are written: a character the code
// page lacks becomes "?", never a look-alike, on every platform; `*replaced` (when given) says
// whether any did, so what is sent is exactly what the operator is told about.
std::string Utf16ToGbkWithoutLookAlikes(std::u16string_view text, bool* replaced = nullptr);

// UTF-8 in, code page 936 out.
std::string Utf8ToAnsi(std::string_view text);

// Code page 936 in, UTF-8 out: for the Linux console and Linux file names.
std::string AnsiToUtf8(std::string_view text);

}  // namespace quenmora::text
