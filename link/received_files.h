#pragma once
// Every received file that is open, or that a connection still writes, in one place: indexed by
// the path as the file system tells files apart, and with the newest files that lost their
// connection before their end kept open for the phone to carry on.
#include <cstddef>
#include <deque>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "link/notice_batch.h"
#include "link/output_file.h"

namespace quenmora::link {

enum class FileStatus {
  kReceiving,    // its file start came, its end has not
  kEnded,        // its "END||" came
  kTakenOverByNew,    // a newer transfer of the same path closed it; what still comes for it is dropped
  kWriteFailure,  // the system refused a write or the close, which the operator has been told
};

struct ReceivedFile {
  std::optional<OutputFile> output;  // none once closed
  std::u16string key;                // FileKey of its path
  std::string shownPath;             // code page 936, as notices show it
  std::string host;                  // of the connection that started it
  FileStatus status = FileStatus::kReceiving;
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

  explicit ReceivedFiles(NoticeBatch& notices) : notices_(notices) {}
  ReceivedFiles(const ReceivedFiles&) = delete;
  ReceivedFiles& operator=(const ReceivedFiles&) = delete;

  // A newly created file, held by the connection that started it until it lets go (Release or
  // LetGoUnfinished). The file that held its key must have been taken over first.
  ReceivedFile& Add(OutputFile output, std::u16string key, std::string shownPath, std::string host);
  // A re-sent photo wins: the file open at `key`, if any, is closed and taken over, so the new
  // transfer can create it on every system and the two never interleave in it.
  void TakeOver(const std::u16string& key);
  // Appends to the file; a refused write makes it kWriteFailure, with its notice.
  void Write(ReceivedFile& file, std::span<const std::uint8_t> bytes);
  // Its connection has done with it: it is closed and forgotten.
  void Release(ReceivedFile& file);
  // Its connection has gone before its end: it stays open for a connection that carries it on
  // (Adopt), among the newest kMaxUnfinished such files. Any other file is released.
  void LetGo(ReceivedFile& file);
  // The newest file let go unfinished, preferring one started from `host`, now held by the caller;
  // null if there is none.
  ReceivedFile* Adopt(std::string_view host);
  // Closes and forgets every file: reception ends.
  void CloseAll();

 private:
  void Close(ReceivedFile& file);
  void Forget(ReceivedFile& file);

  NoticeBatch& notices_;
  std::list<ReceivedFile> files_;  // stable addresses: connections hold references
  std::unordered_map<std::u16string, ReceivedFile*> open_;  // every open file, by its key
  std::deque<ReceivedFile*> unfinished_;  // let go unfinished, oldest first
};

}  // namespace quenmora::link
