#include "app/win32/group_box.h"

#include <commctrl.h>

#include <string>

#include "app/win32/wide_text.h"

namespace quenmora::win32 {
namespace {

constexpr UINT_PTR kSubclass = 1;

void Paint(HWND box) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(box, &paint);
  RECT client;
  GetClientRect(box, &client);
  const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));

  HBRUSH background = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(box), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
  if (!background) background = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &client, background);

  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

  const std::wstring title = WindowText(box);
  if (!title.empty()) {
    // The title interrupts the top edge, with a little space either side as Windows draws it.
    const int gap = metrics.tmAveCharWidth / 2;
    SIZE extent;
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    RECT titleRect{client.left + metrics.tmAveCharWidth, client.top,
                   client.left + metrics.tmAveCharWidth + extent.cx + 2 * gap, client.top + metrics.tmHeight};
    FillRect(dc, &titleRect, background);
    SetBkMode(dc, TRANSPARENT);
    titleRect.left += gap;
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &titleRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  EndPaint(box, &paint);
}

LRESULT CALLBACK Procedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_PAINT:
      Paint(box);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // WM_PAINT fills the whole box
    case WM_SETTEXT:
    case WM_SETFONT: {
      const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
      InvalidateRect(box, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(box, Procedure, kSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void DrawGroupBoxYourself(HWND box) { SetWindowSubclass(box, Procedure, kSubclass, 0); }

}  // namespace quenmora::win32
