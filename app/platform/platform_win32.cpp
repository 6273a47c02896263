#include <windows.h>

#include "app/platform/platform.h"
#include "app/start_directories.h"
#include "app/texts.h"
#include "text/codepage.h"

namespace quenmora::app {

// Hidden and system directories are listed too, as Windows' own directory list does.
std::vector<std::string> ListSubdirectories(std::string_view directory) {
  std::vector<std::string> names;
  std::u16string pattern = text::MultiByteToUtf16(directory, text::kCodePageGbk);
  if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/') pattern += u'\\';
  pattern += u'*';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::u16string_view name = reinterpret_cast<const char16_t*>(found.cFileName);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == u"." || name == u"..")
      continue;
    names.push_back(text::Utf16ToMultiByte(name, text::kCodePageGbk));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  const DWORD size = GetLogicalDriveStringsW(0, nullptr);
  if (size == 0) return roots;
  std::u16string all(size, u'\0');
  const DWORD used = GetLogicalDriveStringsW(size, reinterpret_cast<wchar_t*>(all.data()));
  // "C:\", NUL, "D:\", NUL, ..., NUL
  for (std::size_t at = 0; at < used && all[at] != u'\0';) {
    const std::size_t end = all.find(u'\0', at);
    roots.push_back(text::Utf16ToMultiByte(std::u16string_view(all).substr(at, end - at),
                                           text::kCodePageGbk));
    at = end + 1;
  }
  return roots;
}

StartDirectories MachineStartDirectories() {
  return {.receiveDirectory = std::string(kDefaultReceiveDirectory),
          .picker = {.directory = std::string(kPickerStartDirectory),
                     .drive = std::string(kPickerStartDrive)}};
}

}  // namespace quenmora::app
