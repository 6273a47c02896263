#include "link/received_files.h"

#include <algorithm>
#include <utility>

#include "link/notices.h"
#include "link/receive_path.h"

namespace quenmora::link {

std::u16string FileKey(std::u16string_view path) {
  std::u16string key;
  key.reserve(path.size());
  for (char16_t c : path) {
    if (kNativePathStyle == PathStyle::kWindows) {
      if (c == u'/') c = u'\\';
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    const bool separator = c == (kNativePathStyle == PathStyle::kWindows ? u'\\' : u'/');
    if (separator && !key.empty() && key.back() == c) continue;
    key.push_back(c);
  }
  return key;
}

ReceivedFile& ReceivedFiles::Add(OutputFile output, std::u16string key, std::string shownPath,
                                 std::string host) {
  ReceivedFile& file = files_.emplace_back();
  file.output = std::move(output);
  file.key = std::move(key);
  file.shownPath = std::move(shownPath);
  file.host = std::move(host);
  open_[file.key] = &file;
  return file;
}

void ReceivedFiles::TakeOver(const std::u16string& key) {
  const auto held = open_.find(key);
  if (held == open_.end()) return;
  ReceivedFile& holder = *held->second;
  Close(holder);
  holder.status = FileStatus::kTakenOverByNew;
  // One that had lost its connection has nobody left to tell it.
  if (std::erase(unfinished_, &holder) > 0) Forget(holder);
}

void ReceivedFiles::Write(ReceivedFile& file, std::span<const std::uint8_t> bytes) {
  // After a failure the next writes are still tried, as a disk that was full for a moment may
  // take them; the file is reported once all the same.
  if (!file.output || file.output->Append(bytes) || file.status == FileStatus::kWriteFailure) return;
  file.status = FileStatus::kWriteFailure;
  notices_.Add(kWriteFailed, ShownInNotice(file.shownPath));
}

void ReceivedFiles::Release(ReceivedFile& file) {
  Close(file);
  Forget(file);
}

void ReceivedFiles::LetGo(ReceivedFile& file) {
  if (!IsUnfinished(file) || !file.output) return Release(file);
  unfinished_.push_back(&file);
  if (unfinished_.size() > kMaxUnfinished) {
    ReceivedFile& oldest = *unfinished_.front();
    unfinished_.pop_front();
    Release(oldest);
  }
}

ReceivedFile* ReceivedFiles::Adopt(std::string_view host) {
  if (unfinished_.empty()) return nullptr;
  auto chosen = std::find_if(unfinished_.rbegin(), unfinished_.rend(),
                             [&](const ReceivedFile* file) { return file->host == host; });
  if (chosen == unfinished_.rend()) chosen = unfinished_.rbegin();
  ReceivedFile* file = *chosen;
  unfinished_.erase(std::next(chosen).base());
  return file;
}

void ReceivedFiles::CloseAll() {
  for (ReceivedFile& file : files_) Close(file);
  unfinished_.clear();
  files_.clear();
}

void ReceivedFiles::Close(ReceivedFile& file) {
  if (!file.output) return;
  const bool closed = file.output->Close();
  file.output.reset();
  if (const auto it = open_.find(file.key); it != open_.end() && it->second == &file) open_.erase(it);
  if (!closed && file.status != FileStatus::kWriteFailure) {
    file.status = FileStatus::kWriteFailure;
    notices_.Add(kWriteFailed, ShownInNotice(file.shownPath));
  }
}

void ReceivedFiles::Forget(ReceivedFile& file) {
  files_.remove_if([&](const ReceivedFile& kept) { return &kept == &file; });
}

}  // namespace quenmora::link
