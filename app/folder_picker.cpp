#include "app/folder_picker.h"

#include <utility>

#include "app/texts.h"

namespace quenmora::app {

FolderPicker::FolderPicker(FolderPickerView& view, std::string receiveDirectory,
                           std::function<void(std::string_view)> writeReceiveDirectory,
                           SubdirectoryLister lister, PickerStart start)
    : view_(view),
      start_(std::move(start)),
      receiveDirectory_(std::move(receiveDirectory)),
      writeReceiveDirectory_(std::move(writeReceiveDirectory)),
      directories_(std::move(lister)) {}

void FolderPicker::Created() {
  const bool startAtReceiveDirectory = !receiveDirectory_.empty();
  directories_.SetPath(startAtReceiveDirectory ? receiveDirectory_ : start_.directory);
  view_.SelectDrive(startAtReceiveDirectory ? DriveOf(receiveDirectory_) : start_.drive);
  ShowDirectories();
}

// A drive root's first three bytes ("D:\"). Where drives are named by paths ("/home/li"), a "/"
// path goes whole, for the drive list to find the drive that holds it. Any other text (relative
// or network) leaves the start drive selected.
std::string_view FolderPicker::DriveOf(std::string_view receiveDirectory) const {
  if (StartsWithDriveRoot(receiveDirectory)) return receiveDirectory.substr(0, 3);
  if (receiveDirectory.starts_with('/') && start_.drive.starts_with('/')) return receiveDirectory;
  return start_.drive;
}

void FolderPicker::DriveChanged(std::string_view root) {
  directories_.SetPath(root);
  ShowDirectories();
}

void FolderPicker::EntryOpened(std::size_t index) {
  directories_.Open(index);
  ShowDirectories();
}

void FolderPicker::OkClicked() {
  writeReceiveDirectory_(selectedDirectory_);
  view_.Close();
}

void FolderPicker::CancelClicked() { view_.Close(); }

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
