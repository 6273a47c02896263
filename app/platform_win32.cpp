#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <memory>

#include "app/platform.h"
#include "app/start_directories.h"
#include "app/texts.h"
#include "text/codepage.h"

namespace quenmora::app {
namespace {

std::string Dotted(const in_addr& address) {
  const auto& b = address.S_un.S_un_b;
  return std::to_string(b.s_b1) + '.' + std::to_string(b.s_b2) + '.' + std::to_string(b.s_b3) +
         '.' + std::to_string(b.s_b4);
}

// The adapter list, grown until it fits (the list can change between the calls).
std::unique_ptr<char[]> AdapterList() {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  ULONG size = 16 * 1024;
  for (int attempt = 0; attempt < 4; ++attempt) {
    auto buffer = std::make_unique<char[]>(size);
    const ULONG result = GetAdaptersAddresses(
        AF_INET, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    if (result == NO_ERROR) return buffer;
    if (result != ERROR_BUFFER_OVERFLOW) break;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> LocalIpv4Addresses() {
  std::vector<std::string> addresses;
  const std::unique_ptr<char[]> list = AdapterList();
  if (!list) return addresses;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.get()); adapter;
       adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || adapter->OperStatus != IfOperStatusUp)
      continue;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address && address->sa_family == AF_INET)
        addresses.push_back(Dotted(reinterpret_cast<const sockaddr_in*>(address)->sin_addr));
    }
  }
  return addresses;
}

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
