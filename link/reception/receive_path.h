#pragma once
// Where a received file goes: the receive directory, one separator, the name; and which receive
// directories may be used.
#include <string>
#include <string_view>

namespace quenmora::link {

enum class PathStyle {
  kWindows,  // "\" joins; "/" in the name is left for Windows, which reads it as "\"
  kPosix,    // "/" joins, and a "\" in the name is read as "/"
};

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::kWindows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::kPosix;
#endif

// The separator is added even when `directory` already ends in one: "D:\" gives "D:\\name",
// which addresses the same file.
std::u16string ReceivePath(std::u16string_view directory, std::u16string_view name,
                           PathStyle style = kNativePathStyle);

// Whether `directory` names one place whatever the program's current drive and directory are:
// anything else would put a file where the phone's name, not the operator, decides.
// Windows: a drive letter, ":" and "\" or "/" ("D:\", "d:/photos"); or a network share,
// "\\server\share" with "\" or "/" for each separator, more may follow, where neither the server
// nor the share is empty or only dots, and the server is not "?" ("\\.\" and "\\?\" open
// devices and raw paths, not shares).
// POSIX: begins with "/".
bool IsAbsoluteReceiveDirectory(std::u16string_view directory, PathStyle style = kNativePathStyle);

}  // namespace quenmora::link
