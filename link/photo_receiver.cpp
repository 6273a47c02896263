#include "link/photo_receiver.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/chunk_pieces.h"
#include "link/notices.h"
#include "link/output_file.h"
#include "link/receive_path.h"
#include "link/safe_file_name.h"
#include "text/codepage.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The bytes up to the first zero byte: the part the marker tests look at.
std::string_view TextPart(std::span<const std::uint8_t> chunk) {
  const std::string_view bytes = AsText(chunk);
  return bytes.substr(0, bytes.find('\0'));
}

// Every "STAT||" removed in one pass; what the removal joins up is not searched again.
std::string WithoutFileStartMarkers(std::string_view decoded) {
  std::string name;
  name.reserve(decoded.size());
  for (std::size_t pos = 0; pos <= decoded.size();) {
    const std::size_t found = decoded.find(kFileStartMarker, pos);
    name.append(decoded.substr(pos, found - pos));
    if (found == std::string_view::npos) break;
    pos = found + kFileStartMarker.size();
  }
  return name;
}

struct ReceivedFile {
  OutputFile output;
  std::string path;  // code page 936, for notices
  bool writeFailureShown = false;
};

struct Connection {
  // The file this connection's last file start opened; null before one, or if it failed.
  std::shared_ptr<ReceivedFile> file;
  bool sentFileStart = false;
  // The operator has been told that this connection's data has nowhere to go.
  bool droppedDataShown = false;
};

}  // namespace

struct PhotoReceiver::State {
  ReceptionHooks hooks;
  std::int32_t receivedCount = 0;
  std::map<std::string, Connection, std::less<>> connections;
  // Files whose connection has gone; the next file start closes them.
  std::vector<std::shared_ptr<ReceivedFile>> orphanedFiles;
  // Where data goes from a connection that has not sent a file start (a phone that reconnected
  // in the middle of a photo). Owned by a connection or by orphanedFiles.
  std::weak_ptr<ReceivedFile> mostRecentFile;

  void Notice(std::string line) const {
    if (hooks.notice) hooks.notice(line);
  }

  void StartFile(Connection& connection, const std::string& name);
  void WriteData(Connection& connection, std::span<const std::uint8_t> data);
  void HandleWholeChunk(Connection& connection, std::span<const std::uint8_t> chunk);
  void HandlePieces(Connection& connection, const std::vector<ChunkPiece>& pieces);
};

void PhotoReceiver::State::StartFile(Connection& connection, const std::string& name) {
  connection.file.reset();
  orphanedFiles.clear();
  mostRecentFile.reset();
  connection.sentFileStart = true;
  // A failed start has already been reported; the data after it is dropped without another notice.
  connection.droppedDataShown = true;

  // Wraps like the 32-bit counter it is, instead of overflowing.
  receivedCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(receivedCount) + 1u);
  if (hooks.fileStarted) hooks.fileStarted(receivedCount, name);

  const std::u16string wideName = text::MultiByteToUtf16(name, text::kCodePageGbk);
  if (!IsSafeFileName(wideName)) {
    Notice(std::string(kNameRefused) + name);
    return;
  }
  const std::string directory = hooks.receiveDirectory ? hooks.receiveDirectory() : std::string();
  const std::u16string path = ReceivePath(text::MultiByteToUtf16(directory, text::kCodePageGbk), wideName);
  std::optional<OutputFile> output = OutputFile::Create(path);
  std::string shownPath = text::Utf16ToMultiByte(path, text::kCodePageGbk);
  if (!output) {
    Notice(std::string(kCannotCreateFile) + shownPath);
    return;
  }
  connection.file = std::make_shared<ReceivedFile>(ReceivedFile{std::move(*output), std::move(shownPath)});
  connection.droppedDataShown = false;
  mostRecentFile = connection.file;
}

void PhotoReceiver::State::WriteData(Connection& connection, std::span<const std::uint8_t> data) {
  if (data.empty()) return;
  const std::shared_ptr<ReceivedFile> file =
      connection.sentFileStart ? connection.file : mostRecentFile.lock();
  if (!file) {
    if (!connection.droppedDataShown) Notice(std::string(kDataDropped));
    connection.droppedDataShown = true;
    return;
  }
  if (!file->output.Append(data) && !file->writeFailureShown) {
    file->writeFailureShown = true;
    Notice(std::string(kWriteFailed) + file->path);
  }
}

// A chunk with no marker at a message boundary is a file start if its decoded text holds
// "STAT||" (the rest of that text is the name), an end marker if it holds "END||", and file data
// otherwise. Decoding the markers keeps percent-encoded ones working.
void PhotoReceiver::State::HandleWholeChunk(Connection& connection, std::span<const std::uint8_t> chunk) {
  const std::string decoded = text::PercentDecode(TextPart(chunk), true);
  if (decoded.find(kFileStartMarker) != std::string::npos) {
    StartFile(connection, WithoutFileStartMarkers(decoded));
  } else if (decoded.find(kEndMarker) == std::string::npos) {
    WriteData(connection, chunk);
  }
}

// A chunk holding several messages that the network merged: each piece in order.
void PhotoReceiver::State::HandlePieces(Connection& connection, const std::vector<ChunkPiece>& pieces) {
  for (const ChunkPiece& piece : pieces) {
    switch (piece.kind) {
      case PieceKind::kData:
        WriteData(connection, piece.bytes);
        break;
      case PieceKind::kFileStart:
        StartFile(connection, WithoutFileStartMarkers(text::PercentDecode(AsText(piece.bytes), true)));
        break;
      case PieceKind::kEnd:  // the file stays open until the next file start
        break;
    }
  }
}

PhotoReceiver::PhotoReceiver(ReceptionHooks hooks) : state_(std::make_unique<State>()) {
  state_->hooks = std::move(hooks);
}

PhotoReceiver::~PhotoReceiver() = default;

void PhotoReceiver::HandleChunk(const std::string& client, std::span<const std::uint8_t> chunk) {
  Connection& connection = state_->connections[client];
  const std::vector<ChunkPiece> pieces = SplitAtMarkers(chunk);
  if (pieces.empty()) {
    state_->HandleWholeChunk(connection, chunk);
  } else {
    state_->HandlePieces(connection, pieces);
  }
}

void PhotoReceiver::ClientGone(const std::string& client) {
  const auto it = state_->connections.find(client);
  if (it == state_->connections.end()) return;
  if (it->second.file) state_->orphanedFiles.push_back(std::move(it->second.file));
  state_->connections.erase(it);
}

std::int32_t PhotoReceiver::receivedCount() const { return state_->receivedCount; }

}  // namespace quenmora::link
