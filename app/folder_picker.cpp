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
  DirectoriesChanged();
}

void FolderPicker::DriveChanged(std::string_view root) {
  directories_.SetPath(root);
  DirectoriesChanged();
}

void FolderPicker::EntryOpened(std::size_t index) {
  directories_.Open(index);
  DirectoriesChanged();
}

void FolderPicker::MousePressed() { Refresh(); }

void FolderPicker::OkClicked() {
  writeReceiveDirectory_(selectedDirectory_);
  view_.Close();
}

void FolderPicker::CancelClicked() { view_.Close(); }

void FolderPicker::DirectoriesChanged() {
  view_.ShowDirectories(directories_.entries(), directories_.currentIndex());
  Refresh();
}

// `编辑框1` always shows the directory list's value, never the receive-directory text itself.
void FolderPicker::Refresh() {
  selectedDirectory_ = directories_.path();
  view_.SetSelectedDirectory(selectedDirectory_);
}

}  // namespace quenmora::app
