#pragma once
// Every received file that is open, or that a connection still writes, in one place: indexed by
// the path as the file system tells files apart, and with the newest files that lost their
// connection before their end kept open for the phone to carry on. The files themselves are
// written by the disk thread; what it reports comes back here.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "link/reception/disk_thread.h"
#include "link/reception/notice_batch.h"

namespace quenmora::link {

// No phone photo comes near this; a stream that does is no photo, and must not fill the disk.
inline constexpr std::uint64_t kMaxPhotoBytes = 256ull << 20;

enum class FileStatus {
  kReceiving,        // its file start came, its end has not
  kEnded,            // its "END||" came
  kTakenOverByNew,   // a newer transfer of the same path closed it; what still comes for it is dropped
  kWriteFailure,     // it could not be created or written, or was cut short; the operator has been told
};

struct ReceivedFile {
  DiskThread::FileId disk = 0;
  std::u16string key;           // FileKey of its path
  std::string shownPath;        // code page 936, as notices show it
  std::string shownDirectory;   // the receive directory it went to, as the box held it
  std::string host;             // of the connection that started it
  std::uint64_t size = 0;       // bytes handed to the disk
  FileStatus status = FileStatus::kReceiving;
  bool open = true;             // not yet closed
  bool held = true;             // a connection, or the list of unfinished files, holds it
  bool dropShown = false;  // only stops a repeated notice of data dropped after a takeover
};

// A photo whose end has not come that is still this transfer's.
inline bool IsUnfinished(const ReceivedFile& file) { return file.status == FileStatus::kReceiving; }

// The path as the file system tells files apart: runs of separators are one, and on Windows "/"
// is "\" and ASCII letters are alike in either case. Two transfers with the same key would write
// the same file.
std::u16string FileKey(std::u16string_view path);

class ReceivedFiles {
 public:
  // The most files kept open after their connection went away before their end; the oldest is
  // closed beyond that.
  static constexpr std::size_t kMaxUnfinished = 8;

  ReceivedFiles(std::shared_ptr<FileLayer> files, UiExecutor ui, NoticeBatch& notices,
                std::function<void()> reported);
  ReceivedFiles(const ReceivedFiles&) = delete;
  ReceivedFiles& operator=(const ReceivedFiles&) = delete;

  // A file to create at `path` in `directory`, held by the connection that started it until it
  // lets go (Release or LetGo). The file that held its key must have been taken over first.
  ReceivedFile& Add(const std::u16string& path, const std::u16string& directory, std::string shownDirectory,
                    std::string host);
  // A re-sent photo wins: the file open at `key`, if any, is closed and taken over, so the new
  // transfer can create it on every system and the two never interleave in it.
  void TakeOver(const std::u16string& key);
  // Appends to the file, `keep` holding the bytes (see DiskThread::Write). False when the file
  // would grow past kMaxPhotoBytes: it stops at that size, named incomplete.
  bool Write(ReceivedFile& file, std::span<const std::uint8_t> bytes, std::shared_ptr<const void> keep);
  // Its connection has done with it: it is closed and forgotten.
  void Release(ReceivedFile& file);
  // Its connection has gone before its end: it stays open for a connection that carries it on
  // (Adopt), among the newest kMaxUnfinished such files. Any other file is released.
  void LetGo(ReceivedFile& file);
  // The newest file let go unfinished, preferring one started from `host`, now held by the caller;
  // null if there is none.
  ReceivedFile* Adopt(std::string_view host);
  // Closes every file: reception ends. The disk does so in its own time; see WaitUntilWritten.
  void CloseAll();
  // Waits `bound` at most for the disk to do everything asked; the paths, as notices show them,
  // of the files it had not done with by then.
  std::vector<std::string> WaitUntilWritten(std::chrono::milliseconds bound);
  // Waits until the disk has done everything asked so far; its reports are then queued for the UI
  // thread.
  void Drain() { disk_.Drain(); }
  // Hands the disk thread what this turn of the UI thread asked of it.
  void Submit() { disk_.Submit(); }

 private:
  void Close(ReceivedFile& file);
  void Reported(const DiskThread::Reports& reports);
  void Reported(DiskThread::FileId disk, DiskReport report);
  void ForgetIfDone(ReceivedFile& file);

  NoticeBatch& notices_;
  std::function<void()> reported_;
  std::list<ReceivedFile> files_;  // stable addresses: connections hold references
  std::unordered_map<std::u16string, ReceivedFile*> open_;       // every open file, by its key
  std::unordered_map<DiskThread::FileId, ReceivedFile*> byDisk_;  // every file, until the disk is done
  std::deque<ReceivedFile*> unfinished_;  // let go unfinished, oldest first
  OwnerLifetime lifetime_;  // for the disk's reports, which may still be queued when this is gone
  DiskThread disk_;         // last: it is drained and ended first
};

}  // namespace quenmora::link
