#pragma once
// The information box `编辑框1`: the worker's address lines and instructions, then the notices,
// one line each. It keeps its own account of what the box holds, so that adding costs the length
// of what is added, never that of the box, and it keeps the box bounded: when a flood of notices
// would take it over, the oldest notices give way and the addresses the operator needs stay at
// the top.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "app/main_view.h"

namespace quenmora::app {

class InformationBox {
 public:
  // Sizes are code-page-936 bytes, never fewer than the box's UTF-16 characters. The box stays
  // under kLimit; when it would reach it, the oldest notices give way down to kAfterGivingWay, so
  // that the box is written anew at most once per (kLimit - kAfterGivingWay) bytes added.
  static constexpr std::size_t kLimit = 64 * 1024;
  static constexpr std::size_t kAfterGivingWay = 48 * 1024;

  InformationBox(MainView& view, MainControl control) : view_(view), control_(control) {}

  // The worker's address lines and instructions, a few hundred bytes, which are never given up.
  // They go where the box ends now; once the box has been written anew, they are at its top.
  void AddTopText(std::string_view text);
  // One line: it starts on a line of its own and ends with CR LF.
  void AddNotice(std::string_view line);
  // Brings the box up to date with what was added since the last call, in one call to the view:
  // an append, which leaves the caret and the scroll position alone, or, after notices have
  // given way, the whole text anew with the top text first.
  void Show();

 private:
  void Added(std::string_view text);
  void GiveWay();
  bool SeparatorBeforeNotices() const;
  std::size_t RewrittenSize() const;
  std::string RewrittenText() const;

  MainView& view_;
  MainControl control_;
  std::string top_;
  std::deque<std::string> notices_;  // each with its CR LF, oldest first
  std::size_t noticeBytes_ = 0;
  // The box as it is once shown.
  std::size_t size_ = 0;
  bool atLineStart_ = true;
  // Not shown yet: text to append, or the whole box to be written anew.
  std::string unshown_;
  bool rewriteDue_ = false;
};

}  // namespace quenmora::app
