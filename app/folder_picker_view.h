#pragma once
#include <span>
#include <string_view>

#include "app/directory_list_model.h"

namespace quenmora::app {

// What the folder picker's logic needs of a front end. Texts are code page 936.
class FolderPickerView {
 public:
  virtual ~FolderPickerView() = default;
  // Selects the drive that holds `root` (DriveHolding): the one whose letter begins "D:\", or
  // where drives are named by paths, the one holding "/home/li/Pictures". The directory list is
  // left as it is.
  virtual void SelectDrive(std::string_view root) = 0;
  // Shows the directory list's entries with `current` selected.
  virtual void ShowDirectories(std::span<const DirectoryEntry> entries, std::size_t current) = 0;
  // The selected-directory label, `编辑框1`.
  virtual void SetSelectedDirectory(std::string_view text) = 0;
  // Ends the modal picker.
  virtual void Close() = 0;
};

}  // namespace quenmora::app
