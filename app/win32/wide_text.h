#pragma once
// The Win32 edge of the program's texts: code-page-936 bytes to and from the UTF-16 the W
// functions take.
#include <windows.h>

#include <string>
#include <string_view>

namespace quenmora::win32 {

std::wstring Wide(std::string_view gbk);

// Characters code page 936 lacks become "?"; `*replaced` (when given) says whether any did.
std::string Gbk(std::wstring_view wide, bool* replaced = nullptr);

// The text of a window or control, as the W functions give it.
std::wstring WindowText(HWND window);

}  // namespace quenmora::win32
