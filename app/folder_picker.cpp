#include "app/folder_picker.h"

#include <utility>

#include "app/texts.h"

namespace quenmora::app {

FolderPicker::FolderPicker(FolderPickerView& view, std::string receiveDirectory,
                           std::function<void(std::string_view)> writeReceiveDirectory,
                           SubdirectoryLister lister)
    : view_(view),
      receiveDirectory_(std::move(receiveDirectory)),
      writeReceiveDirectory_(std::move(writeReceiveDirectory)),
      directories_(std::move(lister)) {}

void FolderPicker::Created() {
  const bool startAtReceiveDirectory = !receiveDirectory_.empty();
  directories_.SetPath(startAtReceiveDirectory ? std::string_view(receiveDirectory_)
                                               : kPickerStartDirectory);
  // A receive directory without a drive root (relative or network) leaves drive D selected.
  view_.SelectDrive(startAtReceiveDirectory && StartsWithDriveRoot(receiveDirectory_)
                        ? std::string_view(receiveDirectory_).substr(0, 3)
                        : kPickerStartDrive);
  ShowDirectories();
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
