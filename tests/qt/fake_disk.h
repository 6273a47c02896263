#pragma once
// A small Linux disk for the folder picker: the root, a home folder and a USB stick.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/folder_picker.h"

namespace quenmora::qt::testing {

inline const std::vector<std::string> kFakeDrives{"/", "/home/li", "/media/li/USB"};

inline std::vector<std::string> ListFakeDisk(std::string_view directory) {
  static const std::map<std::string, std::vector<std::string>, std::less<>> disk{
      {"/", {"home", "media", "tmp"}},
      {"/home/li", {"Pictures", "Documents"}},
      {"/home/li/Pictures", {"2024\xb0\xe0", "2023"}},  // 2024班
      {"/media/li/USB", {"DCIM"}},
  };
  const auto found = disk.find(directory);
  return found == disk.end() ? std::vector<std::string>{} : found->second;
}

inline app::PickerSources FakePickerSources() {
  return {.lister = ListFakeDisk,
          .driveRoots = [] { return kFakeDrives; },
          .start = {.directory = "/home/li", .drive = "/home/li"}};
}

}  // namespace quenmora::qt::testing
