#include "link/reception/received_files.h"

#include <algorithm>
#include <utility>

#include "link/reception/notices.h"
#include "link/reception/receive_path.h"
#include "text/codepage.h"

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

ReceivedFiles::ReceivedFiles(std::shared_ptr<FileLayer> files, UiExecutor ui, NoticeBatch& notices,
                             std::function<void()> reported)
    : notices_(notices),
      reported_(std::move(reported)),
      disk_(std::move(files), lifetime_.GuardedExecutor(std::move(ui)),
            [this](const DiskThread::Reports& reports) { Reported(reports); }) {}

ReceivedFile& ReceivedFiles::Add(const std::u16string& path, const std::u16string& directory,
                                 std::string shownDirectory, std::string host) {
  ReceivedFile& file = files_.emplace_back();
  file.key = FileKey(path);
  file.shownPath = text::Utf16ToMultiByte(path, text::kCodePageGbk);
  file.shownDirectory = std::move(shownDirectory);
  file.host = std::move(host);
  file.disk = disk_.Create(path, directory);
  open_[file.key] = &file;
  byDisk_[file.disk] = &file;
  return file;
}

void ReceivedFiles::TakeOver(const std::u16string& key) {
  const auto held = open_.find(key);
  if (held == open_.end()) return;
  ReceivedFile& holder = *held->second;
  Close(holder);
  if (holder.status != FileStatus::kWriteFailure) holder.status = FileStatus::kTakenOverByNew;
  // One that had lost its connection has nobody left to tell it.
  if (std::erase(unfinished_, &holder) > 0) Release(holder);
}

bool ReceivedFiles::Write(ReceivedFile& file, std::span<const std::uint8_t> bytes, std::shared_ptr<const void> keep) {
  if (!file.open) return true;
  const bool fits = bytes.size() <= kMaxPhotoBytes - file.size;
  if (!fits) bytes = bytes.first(static_cast<std::size_t>(kMaxPhotoBytes - file.size));
  file.size += bytes.size();
  disk_.Write(file.disk, bytes, std::move(keep));
  if (fits) return true;
  if (file.status != FileStatus::kWriteFailure) notices_.Add(kIncompletePhoto, ShownInNotice(file.shownPath));
  file.status = FileStatus::kWriteFailure;
  Close(file);
  return false;
}

void ReceivedFiles::Release(ReceivedFile& file) {
  Close(file);
  file.held = false;
  ForgetIfDone(file);
}

void ReceivedFiles::LetGo(ReceivedFile& file) {
  if (!IsUnfinished(file) || !file.open) return Release(file);
  unfinished_.push_back(&file);
  if (unfinished_.size() > kMaxUnfinished) {
    ReceivedFile& oldest = *unfinished_.front();
    unfinished_.pop_front();
    Release(oldest);
  }
}

ReceivedFile* ReceivedFiles::Adopt(std::string_view host) {
  // One that failed meanwhile (its disk reported) carries nothing on.
  std::erase_if(unfinished_, [this](ReceivedFile* file) {
    if (IsUnfinished(*file)) return false;
    Release(*file);
    return true;
  });
  if (unfinished_.empty()) return nullptr;
  auto chosen = std::find_if(unfinished_.rbegin(), unfinished_.rend(),
                             [&](const ReceivedFile* file) { return file->host == host; });
  if (chosen == unfinished_.rend()) chosen = unfinished_.rbegin();
  ReceivedFile* file = *chosen;
  unfinished_.erase(std::next(chosen).base());
  return file;
}

void ReceivedFiles::CloseAll() {
  for (ReceivedFile& file : files_) {
    Close(file);
    file.held = false;
  }
  unfinished_.clear();
  disk_.Submit();
}

std::vector<std::string> ReceivedFiles::WaitUntilWritten(std::chrono::milliseconds bound) {
  std::vector<std::string> unwritten;
  for (const DiskThread::FileId disk : disk_.DrainFor(bound)) {
    // Every file stays in byDisk_ until the disk has reported it closed.
    if (const auto found = byDisk_.find(disk); found != byDisk_.end()) unwritten.push_back(found->second->shownPath);
  }
  return unwritten;
}

void ReceivedFiles::Close(ReceivedFile& file) {
  if (!file.open) return;
  file.open = false;
  disk_.Close(file.disk);
  if (const auto it = open_.find(file.key); it != open_.end() && it->second == &file) open_.erase(it);
}

void ReceivedFiles::Reported(const DiskThread::Reports& reports) {
  for (const DiskThread::Report& report : reports) Reported(report.file, report.what);
  if (reported_) reported_();
}

void ReceivedFiles::Reported(DiskThread::FileId disk, DiskReport report) {
  const auto found = byDisk_.find(disk);
  if (found == byDisk_.end()) return;
  ReceivedFile& file = *found->second;
  const bool firstFailure = file.status != FileStatus::kWriteFailure;
  switch (report) {
    case DiskReport::kCannotCreate:
      notices_.Add(kCannotCreateFile, ShownInNotice(file.shownPath));
      break;
    case DiskReport::kBelowReserve:
      notices_.Add(kDiskBelowReserve, ShownInNotice(file.shownDirectory));
      break;
    case DiskReport::kReserveReached:
      notices_.Add(kDiskBelowReserve, ShownInNotice(file.shownDirectory));
      if (firstFailure) notices_.Add(kIncompletePhoto, ShownInNotice(file.shownPath));
      break;
    case DiskReport::kWriteRefused:
      if (firstFailure) notices_.Add(kWriteFailed, ShownInNotice(file.shownPath));
      break;
    case DiskReport::kClosed:
      byDisk_.erase(found);
      ForgetIfDone(file);
      return;
  }
  file.status = FileStatus::kWriteFailure;
}

void ReceivedFiles::ForgetIfDone(ReceivedFile& file) {
  if (file.held || byDisk_.contains(file.disk)) return;
  files_.remove_if([&](const ReceivedFile& kept) { return &kept == &file; });
}

}  // namespace quenmora::link
