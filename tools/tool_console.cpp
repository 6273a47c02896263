#include "tools/tool_console.h"

#include <cstdio>

#include "text/codepage.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its macros.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace quenmora::tools {

#ifdef _WIN32

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) {
    std::u16string_view argument(reinterpret_cast<const char16_t*>(wide[i]));
    arguments.push_back(text::Utf16ToMultiByte(argument, text::kCodePageUtf8));
  }
  LocalFree(wide);
  return arguments;
}

namespace {

// True (and the line written) when `stream` is a console, which takes UTF-16.
bool WriteToConsole(FILE* stream, DWORD handleId, std::string_view utf8) {
  HANDLE handle = GetStdHandle(handleId);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
  std::fflush(stream);
  std::u16string wide = text::MultiByteToUtf16(utf8, text::kCodePageUtf8);
  wide += u"\r\n";
  DWORD written = 0;
  WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  return true;
}

void WriteLine(FILE* stream, DWORD handleId, std::string_view utf8) {
  if (WriteToConsole(stream, handleId, utf8)) return;
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void PrintLine(std::string_view utf8) { WriteLine(stdout, STD_OUTPUT_HANDLE, utf8); }
void PrintError(std::string_view utf8) { WriteLine(stderr, STD_ERROR_HANDLE, utf8); }

void WriteBytes(std::string_view bytes) {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

namespace {

void WriteLine(FILE* stream, std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void PrintLine(std::string_view utf8) { WriteLine(stdout, utf8); }
void PrintError(std::string_view utf8) { WriteLine(stderr, utf8); }

void WriteBytes(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

#endif

}  // namespace quenmora::tools
