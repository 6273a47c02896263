#pragma once
// A main view that keeps each control's text and records what the logic did to it. It keeps the
// view's contracts as a real one does: the focus goes where the logic puts it, an append leaves
// the caret, the selection and the scroll position where they were, a new text puts them at the
// start. Safe to call from any thread, so a test may run the worker's appends where they are made.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "fake_picker_view.h"

namespace quenmora::app::testing {

class FakeMainView : public MainView {
 public:
  struct Call {
    MainControl control;
    std::string text;
    bool append;
  };
  // Where the operator's caret and selection are, in bytes, and the first line the box shows.
  struct Caret {
    std::size_t anchor = 0;
    std::size_t position = 0;
    std::size_t firstVisibleLine = 0;
    friend bool operator==(const Caret&, const Caret&) = default;
  };

  std::string Text(MainControl control, bool* replaced = nullptr) override {
    const std::lock_guard lock(mutex_);
    ++reads_[control];
    if (replaced) *replaced = control == MainControl::编辑框2 && rosterHasUnmappable_;
    return texts_[control];
  }
  void SetText(MainControl control, std::string_view text) override {
    if (beforeSetText) beforeSetText(control);
    const std::lock_guard lock(mutex_);
    texts_[control] = text;
    carets_[control] = {};
    calls_.push_back({control, std::string(text), false});
  }
  void AppendText(MainControl control, std::string_view text) override {
    const std::lock_guard lock(mutex_);
    texts_[control] += text;
    calls_.push_back({control, std::string(text), true});
  }
  void Focus(MainControl control) override {
    const std::lock_guard lock(mutex_);
    focus_ = control;
  }
  void ShowMessage(std::string_view text) override {
    const std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
  }
  // Each picker runs `whilePickerOpen` once the logic has filled it.
  std::unique_ptr<FolderPickerView> NewFolderPicker() override {
    auto picker = std::make_unique<FakePickerView>();
    picker->whileOpen = whilePickerOpen;
    ++pickersMade_;
    return picker;
  }

  // What the operator typed or pasted; `unmappable`: the box held characters code page 936 lacks.
  void Type(MainControl control, std::string text, bool unmappable = false) {
    const std::lock_guard lock(mutex_);
    texts_[control] = std::move(text);
    if (control == MainControl::编辑框2) rosterHasUnmappable_ = unmappable;
  }

  // The operator clicks into the box, selects and scrolls it.
  void PlaceCaret(MainControl control, Caret caret) {
    const std::lock_guard lock(mutex_);
    carets_[control] = caret;
  }
  Caret caret(MainControl control) const {
    const std::lock_guard lock(mutex_);
    const auto it = carets_.find(control);
    return it == carets_.end() ? Caret{} : it->second;
  }
  std::optional<MainControl> focus() const {
    const std::lock_guard lock(mutex_);
    return focus_;
  }

  std::string text(MainControl control) const {
    const std::lock_guard lock(mutex_);
    const auto it = texts_.find(control);
    return it == texts_.end() ? std::string() : it->second;
  }
  std::vector<std::string> appends(MainControl control) const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const Call& call : calls_)
      if (call.append && call.control == control) result.push_back(call.text);
    return result;
  }
  // How often the logic read the control's text.
  int reads(MainControl control) const {
    const std::lock_guard lock(mutex_);
    const auto it = reads_.find(control);
    return it == reads_.end() ? 0 : it->second;
  }
  std::vector<Call> calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
  }
  std::vector<std::string> messages() const {
    const std::lock_guard lock(mutex_);
    return messages_;
  }
  int pickersMade() const { return pickersMade_; }

  // Called before a SetText is carried out, to look at the window's state at that moment.
  std::function<void(MainControl)> beforeSetText;
  // What the operator does in the folder picker; the UI thread's only.
  std::function<void(FolderPicker&, FakePickerView&)> whilePickerOpen;

 private:
  mutable std::mutex mutex_;
  std::map<MainControl, std::string> texts_;
  std::map<MainControl, int> reads_;
  std::map<MainControl, Caret> carets_;
  std::optional<MainControl> focus_;
  std::vector<Call> calls_;
  std::vector<std::string> messages_;
  int pickersMade_ = 0;  // the UI thread's only
  bool rosterHasUnmappable_ = false;
};

}  // namespace quenmora::app::testing
