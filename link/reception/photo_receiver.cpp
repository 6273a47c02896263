#include "link/reception/photo_receiver.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "link/wire/message_parser.h"
#include "link/reception/notice_batch.h"
#include "link/reception/notices.h"
#include "link/reception/receive_path.h"
#include "link/reception/received_files.h"
#include "link/wire/safe_file_name.h"
#include "text/codepage.h"

namespace quenmora::link {
namespace {

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Where a connection stands with file starts.
enum class Start {
  kNone,     // none yet: its data may carry on a file another connection left unfinished
  kStarted,  // its last file start opened a file
  kRefused,  // its last file start was refused and reported; its data is dropped unannounced
};

struct Connection {
  Client client;
  MessageParser parser;
  Start start = Start::kNone;
  // The file it writes, held in the registry: the one its last file start opened, or, before any
  // file start, an unfinished one it carries on.
  ReceivedFile* file = nullptr;
  bool dropShown = false;  // only stops a repeated notice that its data has nowhere to go
  std::size_t refusedNames = 0;
  bool closing = false;  // it sent too many unsafe names: nothing more of it is handled
};

}  // namespace

struct PhotoReceiver::State {
  State(ReceptionHooks receptionHooks, UiExecutor ui)
      : hooks(std::move(receptionHooks)),
        files(hooks.files ? hooks.files : std::make_shared<FileLayer>(), std::move(ui), notices,
              [this] { EndTurn(); }) {}

  ReceptionHooks hooks;
  std::int32_t receivedCount = 0;
  std::unordered_map<ConnectionId, Connection> connections;
  NoticeBatch notices;
  ReceivedFiles files;
  // The read being handled, whose bytes the disk thread may keep instead of copying.
  std::span<const std::uint8_t> read;
  std::shared_ptr<const void> keepRead;

  struct PieceHandler;
  void StartFile(Connection& connection, std::string_view utf8Name);
  void WriteData(Connection& connection, std::span<const std::uint8_t> data);
  void End(Connection& connection);
  void EndConnection(Connection& connection);
  // The end of a turn: what it asked of the disk goes out together, and its notices are shown.
  void EndTurn() {
    files.Submit();
    notices.Flush(hooks.notice);
  }
};

// What the parser finds in one connection's reads; a connection marked closing ignores the rest.
struct PhotoReceiver::State::PieceHandler final : MessageSink {
  PieceHandler(State& state, Connection& connection) : state_(state), connection_(connection) {}
  void FileStart(std::span<const std::uint8_t> name) override {
    if (!connection_.closing) state_.StartFile(connection_, AsText(name));
  }
  void Data(std::span<const std::uint8_t> bytes) override {
    if (!connection_.closing) state_.WriteData(connection_, bytes);
  }
  void End() override {
    if (!connection_.closing) state_.End(connection_);
  }

 private:
  State& state_;
  Connection& connection_;
};

void PhotoReceiver::State::StartFile(Connection& connection, std::string_view utf8Name) {
  if (connection.file) {
    if (IsUnfinished(*connection.file)) notices.Add(kIncompletePhoto, ShownInNotice(connection.file->shownPath));
    files.Release(*std::exchange(connection.file, nullptr));
  }
  connection.start = Start::kRefused;  // until the file is open

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
      notices.Add(kFloodingConnectionClosed, connection.client.address);
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
  files.TakeOver(FileKey(path));
  // Whether it can be created is the disk thread's to find out; a failure comes back as a report.
  connection.file = &files.Add(path, wideDirectory, directory, std::string(connection.client.host()));
  connection.start = Start::kStarted;
}

// Data from a connection that has sent no file start is a phone that reconnected in the middle
// of a photo: it carries on the newest file left unfinished, preferring one from its own host.
void PhotoReceiver::State::WriteData(Connection& connection, std::span<const std::uint8_t> data) {
  if (!connection.file && connection.start == Start::kNone) {
    connection.file = files.Adopt(connection.client.host());
  }
  if (!connection.file) {
    if (connection.start == Start::kNone && !connection.dropShown) notices.Add(kDataDropped);
    connection.dropShown = true;
    return;
  }
  ReceivedFile& file = *connection.file;
  if (file.status == FileStatus::kTakenOverByNew) {
    if (!file.dropShown) notices.Add(kTakenOver, ShownInNotice(file.shownPath));
    file.dropShown = true;
    return;
  }
  const auto at = reinterpret_cast<std::uintptr_t>(data.data());
  const auto readAt = reinterpret_cast<std::uintptr_t>(read.data());
  const bool inRead = at >= readAt && at + data.size() <= readAt + read.size();
  if (files.Write(file, data, inRead ? keepRead : nullptr)) return;
  notices.Add(kPhotoTooLarge, connection.client.address);
  connection.closing = true;
}

// The file stays open until the next file start or the connection's end.
void PhotoReceiver::State::End(Connection& connection) {
  if (connection.file && connection.file->status == FileStatus::kReceiving) {
    connection.file->status = FileStatus::kEnded;
  }
}

// What the parser held is handled; a finished file is closed, an unfinished one reported and
// kept open for its phone to carry on.
void PhotoReceiver::State::EndConnection(Connection& connection) {
  if (!connection.closing) {
    PieceHandler handler(*this, connection);
    connection.parser.Finish(handler);
  }
  ReceivedFile* file = std::exchange(connection.file, nullptr);
  if (!file) return;
  if (IsUnfinished(*file)) notices.Add(kIncompletePhoto, ShownInNotice(file->shownPath));
  files.LetGo(*file);
}

PhotoReceiver::PhotoReceiver(ReceptionHooks hooks, UiExecutor ui)
    : state_(std::make_unique<State>(std::move(hooks), std::move(ui))) {}

PhotoReceiver::~PhotoReceiver() = default;

bool PhotoReceiver::HandleChunk(const Client& client, std::span<const std::uint8_t> chunk,
                                std::shared_ptr<const void> keep) {
  const auto [it, added] = state_->connections.try_emplace(client.id);
  Connection& connection = it->second;
  if (added) connection.client = client;
  if (!connection.closing) {
    State::PieceHandler handler(*state_, connection);
    state_->read = chunk;
    state_->keepRead = std::move(keep);
    connection.parser.Feed(chunk, handler);
    state_->read = {};
    state_->keepRead.reset();
  }
  state_->EndTurn();
  return !connection.closing;
}

void PhotoReceiver::ClientGone(ConnectionId id) {
  const auto it = state_->connections.find(id);
  if (it == state_->connections.end()) return;
  state_->EndConnection(it->second);
  state_->connections.erase(it);
  state_->EndTurn();
}

void PhotoReceiver::Finish() {
  for (auto& [id, connection] : state_->connections) state_->EndConnection(connection);
  state_->connections.clear();
  state_->files.CloseAll();
  state_->EndTurn();
}

void PhotoReceiver::Drain() { state_->files.Drain(); }

std::vector<std::string> PhotoReceiver::WaitUntilWritten(std::chrono::milliseconds bound) {
  return state_->files.WaitUntilWritten(bound);
}

bool PhotoReceiver::IsReceivingFile(ConnectionId id) const {
  const auto it = state_->connections.find(id);
  return it != state_->connections.end() && it->second.file && IsUnfinished(*it->second.file);
}

std::int32_t PhotoReceiver::receivedCount() const { return state_->receivedCount; }

}  // namespace quenmora::link
