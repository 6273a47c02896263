#include "app/win32/rendered_controls.h"

#include <string>

#include "app/win32/control_ids.h"
#include "app/win32/dpi.h"
#include "app/win32/group_box.h"
#include "app/win32/wide_text.h"

namespace quenmora::win32 {
namespace {

using app::Border;
using app::ControlKind;

// The drop-down part of a drive list, below its selection field.
constexpr int kDropDownHeight = 160;

COLORREF ColourRef(app::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

struct WindowStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

WindowStyle StyleFor(const app::ControlSpec& entry) {
  WindowStyle result{};
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (entry.kind) {
    case ControlKind::Label:
      result.className = L"STATIC";
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::Edit:
      result.className = L"EDIT";
      style |= WS_TABSTOP | ES_LEFT;
      // Multi-line boxes wrap at their width; without WS_VSCROLL the text still scrolls with
      // the caret.
      style |= entry.multiLine ? DWORD{ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN} : DWORD{ES_AUTOHSCROLL};
      if (entry.verticalScroll) style |= WS_VSCROLL;
      break;
    case ControlKind::GroupBox:
      result.className = L"BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ControlKind::Button:
      result.className = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::DriveList:
      result.className = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case ControlKind::DirectoryList:
      result.className = L"LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      result.exStyle |= WS_EX_CLIENTEDGE;
      break;
  }
  switch (entry.border) {
    case Border::None:
      break;
    case Border::Single:
      style |= WS_BORDER;
      break;
    case Border::Sunken:
      // Edit boxes take input and get the deep edge; a label gets the edge of a read-only item.
      result.exStyle |= entry.kind == ControlKind::Label ? WS_EX_STATICEDGE : WS_EX_CLIENTEDGE;
      break;
  }
  result.style = style;
  return result;
}

HFONT CreateOwnFont(const app::FontSpec& font, int dpi) {
  const std::wstring face = Wide(font.face);
  // A negative height asks for the character (em) height rather than the cell height.
  return CreateFontW(-Scale(font.height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     font.gb2312Charset ? GB2312_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

RenderedControls::RenderedControls(const app::WindowSpec& layout) : layout_(layout) {
  for (const app::ControlSpec& entry : layout.controls) {
    Rendered rendered{.entry = &entry};
    if (entry.backColour) rendered.background = CreateSolidBrush(ColourRef(*entry.backColour));
    controls_.push_back(rendered);
  }
}

RenderedControls::~RenderedControls() {
  for (const Rendered& control : controls_) {
    if (control.background) DeleteObject(control.background);
    if (control.ownFont) DeleteObject(control.ownFont);
  }
  if (defaultFont_) DeleteObject(defaultFont_);
}

void RenderedControls::Create(HINSTANCE instance, HWND window, int dpi) {
  for (Rendered& control : controls_) {
    const app::ControlSpec& entry = *control.entry;
    const WindowStyle style = StyleFor(entry);
    const std::wstring text = Wide(entry.text);
    control.handle = CreateWindowExW(style.exStyle, style.className, text.c_str(), style.style, 0, 0, 0,
                                     0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(entry.id))),
                                     instance, nullptr);
    if (!control.handle) continue;
    if (entry.kind == ControlKind::Edit && entry.multiLine)
      SendMessageW(control.handle, EM_SETLIMITTEXT, 0, 0);  // 0: as much as the system allows
    if (entry.kind == ControlKind::GroupBox) DrawGroupBoxYourself(control.handle);
  }
  // Group boxes go below the controls they frame, which then paint over them.
  for (const Rendered& control : controls_)
    if (control.handle && control.entry->kind == ControlKind::GroupBox)
      SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyDpi(dpi);
}

void RenderedControls::ApplyDpi(int dpi) {
  const HFONT oldDefault = defaultFont_;
  defaultFont_ = CreateMessageFont(dpi);
  for (Rendered& control : controls_) {
    if (!control.handle) continue;
    const app::ControlSpec& entry = *control.entry;
    const app::Rect rect = app::ClientRect(layout_, entry);
    const int height = entry.kind == ControlKind::DriveList ? rect.height + kDropDownHeight : rect.height;
    SetWindowPos(control.handle, nullptr, Scale(rect.left, dpi), Scale(rect.top, dpi),
                 Scale(rect.width, dpi), Scale(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    const HFONT oldOwn = control.ownFont;
    if (entry.font) control.ownFont = CreateOwnFont(*entry.font, dpi);
    SendMessageW(control.handle, WM_SETFONT,
                 reinterpret_cast<WPARAM>(entry.font ? control.ownFont : defaultFont_), TRUE);
    if (oldOwn) DeleteObject(oldOwn);
  }
  if (oldDefault) DeleteObject(oldDefault);
}

HWND RenderedControls::Handle(int layoutId) const {
  for (const Rendered& control : controls_)
    if (control.entry->id == layoutId) return control.handle;
  return nullptr;
}

std::optional<int> RenderedControls::ClickedButton(WPARAM wParam) const {
  if (HIWORD(wParam) != BN_CLICKED) return std::nullopt;
  for (const Rendered& control : controls_)
    if (control.entry->kind == ControlKind::Button && ControlId(control.entry->id) == LOWORD(wParam))
      return control.entry->id;
  return std::nullopt;
}

HBRUSH RenderedControls::Colours(HDC dc, HWND handle) const {
  for (const Rendered& control : controls_) {
    if (control.handle != handle) continue;
    const app::ControlSpec& entry = *control.entry;
    if (!entry.textColour && !entry.backColour) return nullptr;
    if (entry.textColour) SetTextColor(dc, ColourRef(*entry.textColour));
    if (control.background) {
      SetBkColor(dc, ColourRef(*entry.backColour));
      return control.background;
    }
    // Text colour only: the usual background of its kind behind it.
    const int face = entry.kind == ControlKind::Edit ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(face));
    return GetSysColorBrush(face);
  }
  return nullptr;
}

bool RenderedControls::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT* result) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      const HBRUSH brush = Colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      if (!brush) return false;  // the system's colours
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case WM_DPICHANGED:
      MoveToSuggestedRect(window, lParam);
      ApplyDpi(LOWORD(wParam));
      *result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace quenmora::win32
