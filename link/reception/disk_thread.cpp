#include "link/reception/disk_thread.h"

#include <algorithm>
#include <utility>

namespace quenmora::link {
namespace {

// Bytes that must outlive the caller's buffer: a copy the operation owns.
std::shared_ptr<const void> CopyOf(std::span<const std::uint8_t>& bytes) {
  auto copy = std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
  bytes = *copy;
  return copy;
}

}  // namespace

DiskThread::DiskThread(std::shared_ptr<FileLayer> files, UiExecutor ui,
                       std::function<void(const Reports&)> report)
    : files_(std::move(files)), ui_(std::move(ui)), report_(std::move(report)), thread_([this] { Run(); }) {}

DiskThread::~DiskThread() {
  Submit();
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

DiskThread::FileId DiskThread::Create(std::u16string path, std::u16string directory) {
  const FileId file = ++lastId_;
  unsubmitted_.push_back({Operation::Kind::kCreate, file, std::move(path), std::move(directory), {}, nullptr});
  return file;
}

void DiskThread::Write(FileId file, std::span<const std::uint8_t> bytes, std::shared_ptr<const void> keep) {
  if (bytes.empty()) return;
  if (!keep) keep = CopyOf(bytes);
  unsubmitted_.push_back({Operation::Kind::kWrite, file, {}, {}, bytes, std::move(keep)});
}

void DiskThread::Close(FileId file) { unsubmitted_.push_back({Operation::Kind::kClose, file, {}, {}, {}, nullptr}); }

void DiskThread::Submit() {
  if (unsubmitted_.empty()) return;
  {
    const std::lock_guard lock(mutex_);
    for (Operation& operation : unsubmitted_) queue_.push_back(std::move(operation));
  }
  unsubmitted_.clear();
  changed_.notify_all();
}

void DiskThread::Drain() {
  Submit();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

std::vector<DiskThread::FileId> DiskThread::DrainFor(std::chrono::milliseconds bound) {
  Submit();
  std::unique_lock lock(mutex_);
  std::vector<FileId> pending;
  if (changed_.wait_for(lock, bound, [this] { return queue_.empty() && !busy_; })) return pending;
  if (busy_) pending.push_back(busyWith_);
  for (const Operation& operation : queue_) {
    if (std::ranges::find(pending, operation.file) == pending.end()) pending.push_back(operation.file);
  }
  return pending;
}

void DiskThread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || ending_; });
    if (queue_.empty()) break;  // ending, with everything done
    Operation operation = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    busyWith_ = operation.file;
    lock.unlock();
    Do(operation);
    operation.keep.reset();  // the read buffer goes back before the next operation waits
    // Handed over when the disk thread has caught up, or at least every so many; not under the
    // lock, as the UI executor may run the report at once.
    constexpr std::size_t kMostReportsHeld = 1024;
    lock.lock();
    if (queue_.empty() || reports_.size() >= kMostReportsHeld) {
      lock.unlock();
      HandReportsOver();
      lock.lock();
    }
    busy_ = false;
    if (queue_.empty()) changed_.notify_all();
  }
  // What was never closed (reception ending without Finish) closes with the thread.
  for (auto& [file, open] : open_) {
    if (open.output) files_->Close(*open.output);
  }
}

void DiskThread::Do(Operation& operation) {
  switch (operation.kind) {
    case Operation::Kind::kCreate: {
      const std::optional<std::uint64_t> free = files_->FreeBytes(operation.directory);
      if (free && *free < kDiskReserveBytes) return Add(operation.file, DiskReport::kBelowReserve);
      std::optional<OutputFile> output = files_->Create(operation.path);
      if (!output) return Add(operation.file, DiskReport::kCannotCreate);
      open_[operation.file] = OpenFile{.output = std::move(output), .directory = std::move(operation.directory)};
      return;
    }
    case Operation::Kind::kWrite: {
      const auto it = open_.find(operation.file);
      if (it == open_.end() || it->second.stopped) return;
      OpenFile& open = it->second;
      open.sinceCheck += operation.bytes.size();
      if (open.sinceCheck >= kFreeSpaceCheckBytes) {
        open.sinceCheck = 0;
        const std::optional<std::uint64_t> free = files_->FreeBytes(open.directory);
        if (free && *free < kDiskReserveBytes) {
          open.stopped = true;
          return Add(operation.file, DiskReport::kReserveReached);
        }
      }
      // After a failure the next writes are still tried, as a disk that was full for a moment may
      // take them; the file is reported once all the same.
      if (!files_->Append(*open.output, operation.bytes) && !std::exchange(open.failed, true)) {
        Add(operation.file, DiskReport::kWriteRefused);
      }
      return;
    }
    case Operation::Kind::kClose: {
      const auto it = open_.find(operation.file);
      if (it != open_.end()) {
        if (!files_->Close(*it->second.output) && !it->second.failed) Add(operation.file, DiskReport::kWriteRefused);
        open_.erase(it);
      }
      return Add(operation.file, DiskReport::kClosed);
    }
  }
}

void DiskThread::HandReportsOver() {
  if (reports_.empty()) return;
  ui_([show = report_, reports = std::exchange(reports_, {})] { show(reports); });
}

}  // namespace quenmora::link
