#pragma once
// One window's controls made from its layout table: creation, fonts, colours and DPI changes.
// Controls inside a group box are placed relative to the box but are children of the window,
// so their notifications reach the window's procedure.
#include <windows.h>

#include <optional>
#include <vector>

#include "app/layout.h"

namespace quenmora::win32 {

class RenderedControls {
 public:
  explicit RenderedControls(const app::WindowSpec& layout);
  ~RenderedControls();
  RenderedControls(const RenderedControls&) = delete;
  RenderedControls& operator=(const RenderedControls&) = delete;

  void Create(HINSTANCE instance, HWND window, int dpi);
  // Positions, sizes and fonts for `dpi`.
  void ApplyDpi(int dpi);
  HWND Handle(int layoutId) const;
  template <typename Control>
  HWND Handle(Control control) const { return Handle(static_cast<int>(control)); }

  // The layout id of the button whose click a WM_COMMAND's `wParam` reports; none for any other
  // command.
  std::optional<int> ClickedButton(WPARAM wParam) const;

  // For WM_CTLCOLORSTATIC/WM_CTLCOLOREDIT: puts `control`'s colours into `dc` and returns its
  // background brush, or null for a control without colours of its own.
  HBRUSH Colours(HDC dc, HWND control) const;

  // The window messages about its controls that every window handles alike: colours and DPI
  // changes. True, with `*result` set, when `message` was one of them and is answered.
  bool HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  struct Rendered {
    const app::ControlSpec* entry;
    HWND handle = nullptr;
    HBRUSH background = nullptr;  // only for a control with a background colour of its own
    HFONT ownFont = nullptr;      // only for a control with a font of its own
  };

  const app::WindowSpec& layout_;
  std::vector<Rendered> controls_;
  HFONT defaultFont_ = nullptr;
};

}  // namespace quenmora::win32
