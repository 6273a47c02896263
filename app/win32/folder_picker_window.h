#pragma once
// The folder picker "浏览文件夹" on Win32: a modal window over the main window that renders its
// layout table and hands every event to the portable app::FolderPicker.
#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/folder_picker.h"
#include "app/folder_picker_view.h"
#include "app/win32/rendered_controls.h"
#include "app/win32/window_procedure.h"

namespace quenmora::win32 {

class FolderPickerWindow final : public app::FolderPickerView {
 public:
  FolderPickerWindow(HINSTANCE instance, HWND owner);
  ~FolderPickerWindow() override;
  FolderPickerWindow(const FolderPickerWindow&) = delete;
  FolderPickerWindow& operator=(const FolderPickerWindow&) = delete;

  // The owner takes no input meanwhile; the messages of every other window, the owner's queued
  // tasks among them, are handled as usual.
  void RunModal(app::FolderPicker& logic) override;
  void ShowDrives(std::span<const std::string> drives) override;
  void SelectDrive(std::optional<std::size_t> index) override;
  void ShowDirectories(std::span<const app::DirectoryEntry> entries, std::size_t current) override;
  void SetSelectedDirectory(std::string_view text) override;
  void Close() override;

 private:
  friend LRESULT CALLBACK ObjectWindowProcedure<FolderPickerWindow>(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Created();
  void Command(WPARAM wParam);
  void OpenSelectedEntry();

  HINSTANCE instance_;
  HWND owner_;
  HWND window_ = nullptr;
  RenderedControls controls_;
  app::FolderPicker* logic_ = nullptr;  // set while RunModal runs
  bool closed_ = false;
};

}  // namespace quenmora::win32
