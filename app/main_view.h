#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "app/layout.h"

namespace quenmora::app {

// What the main window's logic needs of a front end. Texts are code page 936.
class MainView {
 public:
  virtual ~MainView() = default;
  // Sets `*replaced` (when given) to whether characters that code page 936 lacks became "?".
  virtual std::string Text(MainControl control, bool* replaced = nullptr) = 0;
  virtual void SetText(MainControl control, std::string_view text) = 0;
  // Adds at the end of the current content, wherever the caret is.
  virtual void AppendText(MainControl control, std::string_view text) = 0;
  // Modal; an OK button, no icon, caption "Quenmora".
  virtual void ShowMessage(std::string_view text) = 0;
  // Shows the folder picker modally over the main window, starting at `receiveDirectory`;
  // `choose` takes the directory chosen with OK. Returns when the picker has closed.
  virtual void RunFolderPicker(std::string receiveDirectory,
                               std::function<void(std::string_view)> choose) = 0;
};

}  // namespace quenmora::app
