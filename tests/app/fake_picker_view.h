#pragma once
// A folder picker view that keeps what the logic shows in it, and a small disk with drives of
// both kinds: Windows drive letters and Linux paths.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/folder_picker.h"

namespace quenmora::app::testing {

class FakePickerView : public FolderPickerView {
 public:
  // Lets the logic fill the picker, then runs what the operator does while it is open.
  void RunModal(FolderPicker& logic) override {
    logic.Created();
    if (whileOpen) whileOpen(logic, *this);
  }
  void ShowDrives(std::span<const std::string> shown) override { drives.assign(shown.begin(), shown.end()); }
  void SelectDrive(std::optional<std::size_t> index) override { selectedDrive = index; }
  void ShowDirectories(std::span<const DirectoryEntry> shown, std::size_t current) override {
    entries.assign(shown.begin(), shown.end());
    currentEntry = current;
  }
  void SetSelectedDirectory(std::string_view text) override { selected.emplace_back(text); }
  void Close() override { ++closes; }

  // The selected drive's item; empty when none is selected.
  std::string drive() const { return selectedDrive ? drives.at(*selectedDrive) : std::string(); }
  ListRow RowOf(std::string_view name) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name == name) return static_cast<ListRow>(i);
    return -1;
  }

  std::vector<std::string> drives;
  std::optional<std::size_t> selectedDrive;
  std::vector<DirectoryEntry> entries;
  std::size_t currentEntry = 0;
  std::vector<std::string> selected;  // every text `编辑框1` was given
  int closes = 0;
  std::function<void(FolderPicker&, FakePickerView&)> whileOpen;
};

inline const PickerStart kWindowsStart{.directory = "D:\\Program Files", .drive = "D:\\"};
inline const PickerStart kHomeStart{.directory = "/home/li", .drive = "/home/li"};

inline std::vector<std::string> ListFakeDisk(std::string_view directory) {
  static const std::map<std::string, std::vector<std::string>, std::less<>> disk{
      {"C:\\", {"Windows", "Users"}},
      {"D:\\", {"Program Files", "photos"}},
      {"D:\\photos", {"2024", "2023"}},
      {"D:\\Program Files", {"Quenmora"}},
      {"/home/li", {"Pictures"}},
  };
  const auto it = disk.find(directory);
  return it == disk.end() ? std::vector<std::string>{} : it->second;
}

inline PickerSources FakeDiskSources(PickerStart start = kWindowsStart) {
  return {.lister = ListFakeDisk,
          .driveRoots = [] { return std::vector<std::string>{"C:\\", "D:\\", "/", "/home/li", "/media/li/USB"}; },
          .start = std::move(start)};
}

}  // namespace quenmora::app::testing
