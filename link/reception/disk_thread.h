#pragma once
// Every file operation of reception (create, write, close), on a thread of its own, in the order
// they were asked for: the UI thread hands them over and never waits for one. What goes wrong
// comes back to the UI thread as a report.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "link/reception/file_layer.h"
#include "link/reception/ui_executor.h"

namespace quenmora::link {

// A disk that everything else on it still needs: a file is not started, nor written on, below this.
inline constexpr std::uint64_t kDiskReserveBytes = 100ull << 20;
// How often a file's disk is asked for its free space: each file start and every this many bytes
// written, never per read.
inline constexpr std::uint64_t kFreeSpaceCheckBytes = 8ull << 20;

enum class DiskReport {
  kCannotCreate,    // the file could not be created
  kBelowReserve,    // not created: its disk is below the reserve
  kReserveReached,  // its disk fell below the reserve while it was written: it stops there
  kWriteRefused,    // a write or the close failed
  kClosed,          // the disk is done with it; the last report about it
};

class DiskThread {
 public:
  using FileId = std::uint64_t;
  struct Report {
    FileId file;
    DiskReport what;
  };
  using Reports = std::vector<Report>;
  // `report` runs through `ui`, on the UI thread, with the reports gathered while the disk thread
  // was busy: a flood of failures reaches the window as one task.
  DiskThread(std::shared_ptr<FileLayer> files, UiExecutor ui, std::function<void(const Reports&)> report);
  ~DiskThread();  // does everything asked first
  DiskThread(const DiskThread&) = delete;
  DiskThread& operator=(const DiskThread&) = delete;

  // Creates the file at `path` in `directory` (UTF-16), emptying one of that name.
  FileId Create(std::u16string path, std::u16string directory);
  // Appends `bytes`. With `keep` they stay valid as long as it does, and are not copied; without,
  // they are copied now.
  void Write(FileId file, std::span<const std::uint8_t> bytes, std::shared_ptr<const void> keep);
  void Close(FileId file);
  // Hands what was asked since the last call to the disk thread, in one go: the operations of one
  // read are done, and their failures reported, together.
  void Submit();
  // Submits, then returns once everything asked before has been done and reported.
  void Drain();
  // Drain, but waiting `bound` at most; returns the files with operations still to do then, the
  // one being done among them, and none when all is done.
  std::vector<FileId> DrainFor(std::chrono::milliseconds bound);

 private:
  struct Operation {
    enum class Kind { kCreate, kWrite, kClose } kind;
    FileId file;
    std::u16string path, directory;
    std::span<const std::uint8_t> bytes;
    std::shared_ptr<const void> keep;
  };
  struct OpenFile {
    std::optional<OutputFile> output;
    std::u16string directory;
    std::uint64_t sinceCheck = 0;
    bool failed = false;   // a write failed and has been reported
    bool stopped = false;  // its disk reached the reserve: nothing more is written
  };

  void Run();
  void Do(Operation& operation);
  void Add(FileId file, DiskReport report) { reports_.push_back({file, report}); }
  void HandReportsOver();

  std::shared_ptr<FileLayer> files_;
  UiExecutor ui_;
  std::function<void(const Reports&)> report_;
  FileId lastId_ = 0;                 // UI thread only
  std::vector<Operation> unsubmitted_;  // UI thread only

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Operation> queue_;
  bool busy_ = false;
  FileId busyWith_ = 0;  // the file of the operation being done, while busy_
  bool ending_ = false;

  std::unordered_map<FileId, OpenFile> open_;  // disk thread only
  Reports reports_;                            // disk thread only: not yet handed over
  std::thread thread_;  // last: starts once everything it touches exists
};

}  // namespace quenmora::link
