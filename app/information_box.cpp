#include "app/information_box.h"

#include <algorithm>

namespace quenmora::app {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The longest start of `text` (code page 936) that is at most `size` bytes and ends between
// characters: a lead byte from 0x81 up takes the byte after it along.
std::string_view WholeCharactersWithin(std::string_view text, std::size_t size) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = static_cast<unsigned char>(text[end]) >= 0x81 ? end + 2 : end + 1;
    if (next > size) break;
    end = next;
  }
  return text.substr(0, std::min(end, text.size()));
}

}  // namespace

void InformationBox::AddTopText(std::string_view text) {
  top_ += text;
  Added(text);
}

// Each notice ends its own line, so whatever is added next (the worker's lines while the program
// starts, or the next notice) begins on a fresh line; only the instructions end without one.
void InformationBox::AddNotice(std::string_view line) {
  std::string notice(line);
  notice += kLineEnd;
  noticeBytes_ += notice.size();
  notices_.push_back(notice);
  if (!atLineStart_) notice.insert(0, kLineEnd);
  Added(notice);
}

void InformationBox::Show() {
  if (rewriteDue_) {
    view_.SetText(control_, RewrittenText());
    rewriteDue_ = false;
  } else if (!unshown_.empty()) {
    view_.AppendText(control_, unshown_);
  }
  unshown_.clear();
}

void InformationBox::Added(std::string_view text) {
  if (text.empty()) return;
  if (size_ + text.size() >= kLimit) {
    GiveWay();
    return;
  }
  size_ += text.size();
  atLineStart_ = text.ends_with(kLineEnd);
  if (!rewriteDue_) unshown_ += text;
}

void InformationBox::GiveWay() {
  while (notices_.size() > 1 && RewrittenSize() > kAfterGivingWay) {
    noticeBytes_ -= notices_.front().size();
    notices_.pop_front();
  }
  // A single notice too long for the box keeps what fits of its start.
  if (!notices_.empty() && RewrittenSize() >= kLimit) {
    std::string& notice = notices_.back();
    const std::size_t rest = RewrittenSize() - notice.size() + kLineEnd.size();
    std::string kept(WholeCharactersWithin(notice, kAfterGivingWay - std::min(rest, kAfterGivingWay)));
    kept += kLineEnd;
    noticeBytes_ -= notice.size() - kept.size();
    notice = std::move(kept);
  }
  size_ = RewrittenSize();
  atLineStart_ = !notices_.empty() || top_.empty() || top_.ends_with(kLineEnd);
  unshown_.clear();
  rewriteDue_ = true;
}

bool InformationBox::SeparatorBeforeNotices() const {
  return !notices_.empty() && !top_.empty() && !top_.ends_with(kLineEnd);
}

std::size_t InformationBox::RewrittenSize() const {
  return top_.size() + (SeparatorBeforeNotices() ? kLineEnd.size() : 0) + noticeBytes_;
}

std::string InformationBox::RewrittenText() const {
  std::string text;
  text.reserve(RewrittenSize());
  text += top_;
  if (SeparatorBeforeNotices()) text += kLineEnd;
  for (const std::string& notice : notices_) text += notice;
  return text;
}

}  // namespace quenmora::app
