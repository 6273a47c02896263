// Drives the running quenmora.exe from outside, as an operator would, for the end-to-end test.
//   quenmora-probe wait SECONDS              until the main window shows its receive directory
//   quenmora-probe text CONTROL              prints a control's text in UTF-8
//   quenmora-probe set CONTROL FILE          puts the UTF-8 text of FILE into a control
//   quenmora-probe click BUTTON              presses a button
//   quenmora-probe scroll-to-end CONTROL     scrolls a box to its last line, as the operator would
//   quenmora-probe wait-picker SECONDS       until the folder picker is open
//   quenmora-probe client-rect main|picker   prints "X Y WIDTH HEIGHT" of the client area on screen
//   quenmora-probe move main|picker X Y      moves the window's top-left corner there
//   quenmora-probe close                     closes the main window
//   quenmora-probe hold SECONDS              keeps a hidden window (so Wine's desktop) alive until release
//   quenmora-probe held                      whether a hold is running
//   quenmora-probe release                   ends the hold
// CONTROL: info, roster, count, directory, picked (the picker's selected directory).
// BUTTON: send, choose (main window); ok, cancel (picker). Exit status 0 on success.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/layout.h"
#include "app/win32/control_ids.h"

namespace {

using quenmora::app::MainControl;
using quenmora::app::PickerControl;
using quenmora::win32::ControlId;
using quenmora::win32::kFolderPickerClass;
using quenmora::win32::kMainWindowClass;

constexpr UINT kTimeoutMs = 5000;

struct Search {
  const wchar_t* className;
  DWORD process;  // 0: any process whose image is quenmora.exe
  HWND found;
};

bool IsQuenmoraProcess(DWORD process) {
  const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return false;
  wchar_t image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(handle, 0, image, &size) != 0;
  CloseHandle(handle);
  if (!named) return false;
  const wchar_t* name = std::wcsrchr(image, L'\\');
  return _wcsicmp(name ? name + 1 : image, L"quenmora.exe") == 0;
}

// The program's windows only: the tests' own copies of the main window live in other processes.
BOOL CALLBACK Match(HWND candidate, LPARAM state) {
  auto* search = reinterpret_cast<Search*>(state);
  wchar_t className[64] = {};
  GetClassNameW(candidate, className, 64);
  if (std::wcscmp(className, search->className) != 0) return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(candidate, &process);
  if (search->process ? process != search->process : !IsQuenmoraProcess(process)) return TRUE;
  search->found = candidate;
  return FALSE;
}

HWND MainWindow() {
  Search search{kMainWindowClass, 0, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND PickerWindow() {
  const HWND main = MainWindow();
  if (!main) return nullptr;
  Search search{kFolderPickerClass, 0, nullptr};
  GetWindowThreadProcessId(main, &search.process);
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ControlNamed(const std::wstring& name) {
  if (name == L"picked" || name == L"ok" || name == L"cancel") {
    const HWND picker = PickerWindow();
    if (!picker) return nullptr;
    const PickerControl control = name == L"picked" ? PickerControl::编辑框1
                                  : name == L"ok"   ? PickerControl::按钮1
                                                    : PickerControl::按钮2;
    return GetDlgItem(picker, ControlId(control));
  }
  const HWND main = MainWindow();
  if (!main) return nullptr;
  if (name == L"info") return GetDlgItem(main, ControlId(MainControl::编辑框1));
  if (name == L"roster") return GetDlgItem(main, ControlId(MainControl::编辑框2));
  if (name == L"count") return GetDlgItem(main, ControlId(MainControl::标签4));
  if (name == L"directory") return GetDlgItem(main, ControlId(MainControl::目录编辑框1));
  if (name == L"send") return GetDlgItem(main, ControlId(MainControl::按钮1));
  if (name == L"choose") return GetDlgItem(main, ControlId(MainControl::按钮2));
  return nullptr;
}

// WM_GETTEXT: GetWindowText does not read another process's edit box.
bool ReadText(HWND control, std::wstring& text) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &length)) return false;
  text.assign(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &copied))
    return false;
  text.resize(copied);
  return true;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

bool WaitFor(const wchar_t* seconds, bool (*ready)()) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::wcstoul(seconds, nullptr, 10)) * 1000;
  while (GetTickCount64() < deadline) {
    if (ready()) return true;
    Sleep(100);
  }
  return ready();
}

bool MainWindowReady() {
  std::wstring directory;
  const HWND box = ControlNamed(L"directory");
  return box && ReadText(box, directory) && !directory.empty();
}

bool PickerReady() {
  const HWND picker = PickerWindow();
  return picker && IsWindowVisible(picker);
}

constexpr wchar_t kHoldClass[] = L"QuenmoraProbeHold";

LRESULT CALLBACK HoldProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

// A hidden window keeps Wine's desktop process running between the tests' windows. Started with
// its output sent elsewhere, the desktop process then never holds a test's output open.
int Hold(const wchar_t* seconds) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HoldProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kHoldClass;
  RegisterClassExW(&windowClass);
  const HWND window = CreateWindowExW(0, kHoldClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      windowClass.hInstance, nullptr);
  if (!window) return 1;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::wcstoul(seconds, nullptr, 10)) * 1000;
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      DispatchMessageW(&message);
    }
  }
  DestroyWindow(window);
  return 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "quenmora-probe: %s\n", what);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Fail("no command");
  const std::wstring command = argv[1];
  const std::wstring argument = argc > 2 ? argv[2] : L"";
  if (command == L"wait" && argc == 3) return WaitFor(argv[2], MainWindowReady) ? 0 : Fail("no main window");
  if (command == L"wait-picker" && argc == 3) return WaitFor(argv[2], PickerReady) ? 0 : Fail("no folder picker");
  if (command == L"hold" && argc == 3) return Hold(argv[2]);
  if (command == L"held") return FindWindowW(kHoldClass, nullptr) ? 0 : 1;
  if (command == L"release") {
    if (const HWND hold = FindWindowW(kHoldClass, nullptr)) PostMessageW(hold, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == L"close") {
    const HWND main = MainWindow();
    return main && PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : Fail("no main window");
  }
  if (command == L"client-rect" && argc == 3) {
    const HWND window = argument == L"picker" ? PickerWindow() : MainWindow();
    RECT client;
    POINT origin{0, 0};
    if (!window || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return Fail("no such window");
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
  }
  if (command == L"move" && argc == 5) {
    const HWND window = argument == L"picker" ? PickerWindow() : MainWindow();
    return window && SetWindowPos(window, nullptr, std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10),
                                  0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : Fail("no such window");
  }
  const HWND control = ControlNamed(argument);
  if (!control) return Fail("no such control (is the window open?)");
  if (command == L"text" && argc == 3) {
    std::wstring text;
    if (!ReadText(control, text)) return Fail("the control did not answer");
    const std::string utf8 = Utf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return 0;
  }
  if (command == L"set" && argc == 4) {
    std::ifstream file(std::filesystem::path(argv[3]), std::ios::binary);
    if (!file) return Fail("cannot read the text file");
    const std::wstring text = FromUtf8(std::string(std::istreambuf_iterator<char>(file), {}));
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kTimeoutMs, &ignored)
               ? 0
               : Fail("the control did not answer");
  }
  if (command == L"click" && argc == 3) return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : Fail("cannot press");
  if (command == L"scroll-to-end" && argc == 3) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(control, WM_VSCROLL, SB_BOTTOM, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored)
               ? 0
               : Fail("the control did not answer");
  }
  return Fail("unknown command or wrong arguments");
}
