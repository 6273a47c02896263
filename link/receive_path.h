#pragma once
// Where a received file goes: the receive directory, one separator, the name.
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

}  // namespace quenmora::link
