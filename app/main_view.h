#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "app/folder_picker_view.h"
#include "app/layout.h"

namespace quenmora::app {

// What the main window's logic needs of a front end. Texts are code page 936.
//
// When the window opens, the roster box `编辑框2` has the focus (the logic gives it, see Focus):
// the operator pastes there first. The information box `编辑框1` shows its top while notices
// arrive, where the addresses are that the operator types into the phone (see AppendText).
class MainView {
 public:
  virtual ~MainView() = default;
  // Sets `*replaced` (when given) to whether characters that code page 936 lacks became "?".
  virtual std::string Text(MainControl control, bool* replaced = nullptr) = 0;
  // Replaces the whole content. It may move the caret to the start and show the top, which is
  // where the logic wants the information box when it writes it anew.
  virtual void SetText(MainControl control, std::string_view text) = 0;
  // Adds at the end of the current content, wherever the caret is. The caret, the selection and
  // the scroll position stay as they were.
  virtual void AppendText(MainControl control, std::string_view text) = 0;
  // Gives `control` the keyboard focus: at once while the window is active, otherwise when it is
  // next activated (the first time it is shown, say).
  virtual void Focus(MainControl control) = 0;
  // Modal; an OK button, no icon, caption "Quenmora".
  virtual void ShowMessage(std::string_view text) = 0;
  // A folder picker owned by the main window, not yet shown: the logic runs it modally.
  virtual std::unique_ptr<FolderPickerView> NewFolderPicker() = 0;
};

}  // namespace quenmora::app
