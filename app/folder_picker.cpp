#include "app/folder_picker.h"

#include <utility>

namespace quenmora::app {

FolderPicker::FolderPicker(FolderPickerView& view, const PickerSources& sources,
                           std::string receiveDirectory,
                           std::function<void(std::string_view)> writeReceiveDirectory)
    : view_(view),
      drives_(sources.driveRoots()),
      start_(sources.start),
      receiveDirectory_(std::move(receiveDirectory)),
      writeReceiveDirectory_(std::move(writeReceiveDirectory)),
      directories_(sources.lister) {}

void FolderPicker::Created() {
  view_.ShowDrives(drives_);
  const bool startAtReceiveDirectory = !receiveDirectory_.empty();
  directories_.SetPath(startAtReceiveDirectory ? receiveDirectory_ : start_.directory);
  view_.SelectDrive(
      DriveHolding(drives_, startAtReceiveDirectory ? DriveOf(receiveDirectory_) : start_.drive));
  ShowDirectories();
}

// A drive root's first three bytes ("D:\"). Where drives are named by paths ("/home/li"), a "/"
// path goes whole, for the drive that holds it. Any other text (relative or network) leaves the
// start drive selected.
std::string_view FolderPicker::DriveOf(std::string_view receiveDirectory) const {
  if (StartsWithDriveRoot(receiveDirectory)) return receiveDirectory.substr(0, 3);
  if (receiveDirectory.starts_with('/') && start_.drive.starts_with('/')) return receiveDirectory;
  return start_.drive;
}

void FolderPicker::Clicked(PickerControl control) {
  if (control == PickerControl::按钮1) {
    writeReceiveDirectory_(selectedDirectory_);
    view_.Close();
  } else if (control == PickerControl::按钮2) {
    view_.Close();
  }
}

void FolderPicker::CloseRequested() { view_.Close(); }

void FolderPicker::DriveChosen(ListRow row) {
  if (row < 0 || static_cast<std::size_t>(row) >= drives_.size()) return;
  directories_.SetPath(drives_[static_cast<std::size_t>(row)]);
  ShowDirectories();
}

void FolderPicker::EntryOpened(ListRow row) {
  if (row < 0) return;
  directories_.Open(static_cast<std::size_t>(row));
  ShowDirectories();
}

void FolderPicker::DirectoryListPressed() { ShowListValue(); }

void FolderPicker::ShowDirectories() {
  view_.ShowDirectories(directories_.entries(), directories_.currentIndex());
  ShowListValue();
}

// `编辑框1` always shows the directory list's value, never the receive-directory text itself.
void FolderPicker::ShowListValue() {
  selectedDirectory_ = directories_.path();
  view_.SetSelectedDirectory(selectedDirectory_);
}

}  // namespace quenmora::app
