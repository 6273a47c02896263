#pragma once
// Names by which other code (and a probe from another process) finds the program's windows.
#include <windows.h>

namespace quenmora::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"QuenmoraMainWindow";
inline constexpr wchar_t kFolderPickerClass[] = L"QuenmoraFolderPicker";

// A control's child-window id: its layout id, clear of IDOK/IDCANCEL and the other dialog ids.
constexpr int ControlId(int layoutId) { return 100 + layoutId; }
template <typename Control>
constexpr int ControlId(Control control) { return ControlId(static_cast<int>(control)); }

}  // namespace quenmora::win32
