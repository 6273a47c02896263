#include "link/photo_receiver.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "link/message_parser.h"
#include "link/notice_batch.h"
#include "link/notices.h"
#include "link/output_file.h"
#include "link/receive_path.h"
#include "link/safe_file_name.h"
#include "text/codepage.h"

namespace quenmora::link {
namespace {

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The path as the file system tells files apart: runs of separators are one, and on Windows "/"
// is "\" and ASCII letters are alike in either case. Two transfers with the same key would write
// the same file.
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

// The host part of "a.b.c.d:port": a phone that reconnects keeps its address, not its port.
std::string_view Host(std::string_view client) { return client.substr(0, client.rfind(':')); }

struct ReceivedFile {
  std::optional<OutputFile> output;  // none once closed
  std::u16string key;
  std::string shownPath;  // code page 936, as notices show it
  std::string host;       // of the connection that started it
  bool ended = false;     // its "END||" arrived
  // A newer transfer of the same path closed this one; what still comes for it is dropped.
  bool takenOver = false;
  // A write failure, or data dropped after the takeover, has been reported: once per file.
  bool problemShown = false;
};

// A photo whose end has not come that is still this transfer's. One whose write failed has been
// reported already.
bool IsUnfinished(const ReceivedFile& file) { return !file.ended && !file.takenOver && !file.problemShown; }

struct Connection {
  MessageParser parser;
  // The file this connection writes: the one its last file start opened, or, before any file
  // start, an unfinished one it carries on. Null before that, or if the start was refused.
  std::unique_ptr<ReceivedFile> file;
  bool sentFileStart = false;
  // The operator has been told that this connection's data has nowhere to go.
  bool droppedDataShown = false;
  std::size_t refusedNames = 0;
  bool closing = false;
};

}  // namespace

struct PhotoReceiver::State {
  ReceptionHooks hooks;
  std::int32_t receivedCount = 0;
  std::map<std::string, Connection, std::less<>> connections;
  // Files whose connection went away before their end, oldest first, still open.
  std::deque<std::unique_ptr<ReceivedFile>> unfinished;
  // Every file that is open, by its key, wherever it is owned.
  std::unordered_map<std::u16string, ReceivedFile*> openFiles;
  NoticeBatch notices;

  struct PieceHandler;
  void StartFile(const std::string& client, Connection& connection, std::string_view utf8Name);
  void WriteData(const std::string& client, Connection& connection, std::span<const std::uint8_t> data);
  void CarryOnUnfinished(const std::string& client, Connection& connection);
  void TakeOver(const std::u16string& key);
  void Close(ReceivedFile& file);
  void EndConnection(const std::string& client, Connection& connection);
  void ShowNotices() { notices.Flush(hooks.notice); }
};

// What the parser finds in one connection's reads; a connection marked closing ignores the rest.
struct PhotoReceiver::State::PieceHandler final : MessageSink {
  PieceHandler(State& state, const std::string& client, Connection& connection)
      : state_(state), client_(client), connection_(connection) {}
  void FileStart(std::span<const std::uint8_t> name) override {
    if (!connection_.closing) state_.StartFile(client_, connection_, AsText(name));
  }
  void Data(std::span<const std::uint8_t> bytes) override {
    if (!connection_.closing) state_.WriteData(client_, connection_, bytes);
  }
  void End() override {  // the file stays open until the next file start
    if (!connection_.closing && connection_.file) connection_.file->ended = true;
  }

 private:
  State& state_;
  const std::string& client_;
  Connection& connection_;
};

void PhotoReceiver::State::StartFile(const std::string& client, Connection& connection,
                                     std::string_view utf8Name) {
  if (connection.file) {
    if (IsUnfinished(*connection.file)) notices.Add(kIncompletePhoto, ShownInNotice(connection.file->shownPath));
    Close(*connection.file);
    connection.file.reset();
  }
  connection.sentFileStart = true;
  // A refused start has already been reported; the data after it is dropped without another notice.
  connection.droppedDataShown = true;

  // Wraps like the 32-bit counter it is, instead of overflowing.
  receivedCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(receivedCount) + 1u);
  const std::string name = text::Utf8ToAnsi(utf8Name);
  if (hooks.fileStarted) hooks.fileStarted(receivedCount, name);

  // The file gets the name's own characters, so a rare one that code page 936 lacks does not
  // become "?", which Windows refuses and which would make two such names one.
  const std::u16string wideName = text::MultiByteToUtf16(utf8Name, text::kCodePageUtf8);
  if (!IsSafeFileName(wideName)) {
    notices.Add(kNameRefused, ShownInNotice(name));
    if (++connection.refusedNames > kMaxRefusedNames) {
      notices.Add(kFloodingConnectionClosed, client);
      connection.closing = true;
    }
    return;
  }
  const std::string directory = hooks.receiveDirectory ? hooks.receiveDirectory() : std::string();
  const std::u16string wideDirectory = text::MultiByteToUtf16(directory, text::kCodePageGbk);
  if (!IsAbsoluteReceiveDirectory(wideDirectory)) {
    notices.Add(kBadReceiveDirectory, ShownInNotice(directory));
    return;
  }
  const std::u16string path = ReceivePath(wideDirectory, wideName);
  std::u16string key = FileKey(path);
  TakeOver(key);
  std::optional<OutputFile> output = OutputFile::Create(path);
  std::string shownPath = text::Utf16ToMultiByte(path, text::kCodePageGbk);
  if (!output) {
    notices.Add(kCannotCreateFile, ShownInNotice(shownPath));
    return;
  }
  connection.file = std::make_unique<ReceivedFile>(ReceivedFile{
      .output = std::move(output), .key = std::move(key), .shownPath = std::move(shownPath),
      .host = std::string(Host(client))});
  openFiles[connection.file->key] = connection.file.get();
  connection.droppedDataShown = false;
}

// A re-sent photo wins: the transfer that holds its path (a connection the phone left when its
// Wi-Fi dropped, say) is closed first, so the new one can create the file on every system and
// the two never interleave in it.
void PhotoReceiver::State::TakeOver(const std::u16string& key) {
  const auto held = openFiles.find(key);
  if (held == openFiles.end()) return;
  ReceivedFile& holder = *held->second;
  Close(holder);
  holder.takenOver = true;
  std::erase_if(unfinished, [&](const std::unique_ptr<ReceivedFile>& file) { return file.get() == &holder; });
}

void PhotoReceiver::State::Close(ReceivedFile& file) {
  if (!file.output) return;
  const bool closed = file.output->Close();
  file.output.reset();
  if (const auto it = openFiles.find(file.key); it != openFiles.end() && it->second == &file) {
    openFiles.erase(it);
  }
  if (!closed && !file.problemShown) {
    file.problemShown = true;
    notices.Add(kWriteFailed, ShownInNotice(file.shownPath));
  }
}

// Data from a connection that has sent no file start is a phone that reconnected in the middle
// of a photo: it carries on the newest file left unfinished, preferring one from its own address.
void PhotoReceiver::State::CarryOnUnfinished(const std::string& client, Connection& connection) {
  if (unfinished.empty()) return;
  auto chosen = std::find_if(unfinished.rbegin(), unfinished.rend(),
                             [&](const std::unique_ptr<ReceivedFile>& file) { return file->host == Host(client); });
  if (chosen == unfinished.rend()) chosen = unfinished.rbegin();
  connection.file = std::move(*chosen);
  unfinished.erase(std::next(chosen).base());
}

void PhotoReceiver::State::WriteData(const std::string& client, Connection& connection,
                                     std::span<const std::uint8_t> data) {
  if (!connection.file && !connection.sentFileStart) CarryOnUnfinished(client, connection);
  if (!connection.file) {
    if (!connection.droppedDataShown) notices.Add(kDataDropped);
    connection.droppedDataShown = true;
    return;
  }
  ReceivedFile& file = *connection.file;
  if (file.takenOver) {
    if (!file.problemShown) notices.Add(kTakenOver, ShownInNotice(file.shownPath));
    file.problemShown = true;
    return;
  }
  if (file.output && !file.output->Append(data) && !file.problemShown) {
    file.problemShown = true;
    notices.Add(kWriteFailed, ShownInNotice(file.shownPath));
  }
}

// What the parser held is handled; a finished file is closed, an unfinished one reported and
// kept open for its phone to carry on.
void PhotoReceiver::State::EndConnection(const std::string& client, Connection& connection) {
  if (!connection.closing) {
    PieceHandler handler(*this, client, connection);
    connection.parser.Finish(handler);
  }
  std::unique_ptr<ReceivedFile> file = std::move(connection.file);
  if (!file) return;
  if (!IsUnfinished(*file) || !file->output) {
    Close(*file);
    return;
  }
  notices.Add(kIncompletePhoto, ShownInNotice(file->shownPath));
  unfinished.push_back(std::move(file));
  if (unfinished.size() > kMaxUnfinishedFiles) {
    Close(*unfinished.front());
    unfinished.pop_front();
  }
}

PhotoReceiver::PhotoReceiver(ReceptionHooks hooks) : state_(std::make_unique<State>()) {
  state_->hooks = std::move(hooks);
}

PhotoReceiver::~PhotoReceiver() = default;

bool PhotoReceiver::HandleChunk(const std::string& client, std::span<const std::uint8_t> chunk) {
  Connection& connection = state_->connections[client];
  if (!connection.closing) {
    State::PieceHandler handler(*state_, client, connection);
    connection.parser.Feed(chunk, handler);
  }
  state_->ShowNotices();
  return !connection.closing;
}

void PhotoReceiver::ClientGone(const std::string& client) {
  const auto it = state_->connections.find(client);
  if (it == state_->connections.end()) return;
  state_->EndConnection(client, it->second);
  state_->connections.erase(it);
  state_->ShowNotices();
}

void PhotoReceiver::Finish() {
  for (auto& [client, connection] : state_->connections) state_->EndConnection(client, connection);
  state_->connections.clear();
  for (const std::unique_ptr<ReceivedFile>& file : state_->unfinished) state_->Close(*file);
  state_->unfinished.clear();
  state_->ShowNotices();
}

bool PhotoReceiver::IsReceivingFile(const std::string& client) const {
  const auto it = state_->connections.find(client);
  if (it == state_->connections.end() || !it->second.file) return false;
  const ReceivedFile& file = *it->second.file;
  return !file.ended && !file.takenOver;
}

std::int32_t PhotoReceiver::receivedCount() const { return state_->receivedCount; }

}  // namespace quenmora::link
