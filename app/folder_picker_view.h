#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/directory_list_model.h"

namespace quenmora::app {

class FolderPicker;

// What the folder picker's logic needs of a front end. Texts are code page 936.
class FolderPickerView {
 public:
  virtual ~FolderPickerView() = default;
  // Shows the picker modally over the main window and returns once it has closed. As soon as
  // its controls exist it tells `logic` (Created), and from then on hands it the operator's
  // actions.
  virtual void RunModal(FolderPicker& logic) = 0;
  // The drive list's items, in order.
  virtual void ShowDrives(std::span<const std::string> drives) = 0;
  // Selects the drive list's item at `index`, or none. The directory list is left as it is, and
  // the logic hears nothing of it: only the operator's choice is reported (DriveChosen).
  virtual void SelectDrive(std::optional<std::size_t> index) = 0;
  // Shows the directory list's entries with `current` selected.
  virtual void ShowDirectories(std::span<const DirectoryEntry> entries, std::size_t current) = 0;
  // The selected-directory label, `编辑框1`.
  virtual void SetSelectedDirectory(std::string_view text) = 0;
  // Ends the modal picker.
  virtual void Close() = 0;
};

}  // namespace quenmora::app
