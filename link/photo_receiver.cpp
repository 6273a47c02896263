#include "link/photo_receiver.h"

#include <algorithm>
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
#include "link/wire_format.h"
#include "text/codepage.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

using Bytes = std::span<const std::uint8_t>;

// The longest merged name that is held back while it may still go on in the next read.
constexpr std::size_t kMaxHeldName = 4096;

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
  // The end of the last read when it may be cut in the middle of "END||STAT||name": held back
  // and read again in front of the next chunk, so a marker the network split is not lost.
  std::string heldBack;
  // What was held back ends file data ("E" up to "END||STAT|"), as opposed to a merged name.
  bool heldBackIsData = false;
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
  // `mayHoldBack`: the end of `bytes` may be kept for the next chunk; false when there is none.
  void Handle(Connection& connection, Bytes bytes, bool mayHoldBack);
  void HandleWholeChunk(Connection& connection, Bytes chunk, bool mayHoldBack);
  void HandlePieces(Connection& connection, Bytes bytes, std::vector<ChunkPiece> pieces, bool mayHoldBack);
  void HoldBack(Connection& connection, Bytes bytes, bool isData);
  void ReleaseHeldBack(Connection& connection);
  void EndConnection(Connection& connection);
};

// What the connection held back is handled; its file, if any, waits among the orphans for the
// next file start.
void PhotoReceiver::State::EndConnection(Connection& connection) {
  if (!connection.heldBack.empty()) ReleaseHeldBack(connection);
  if (connection.file) orphanedFiles.push_back(std::move(connection.file));
}

void PhotoReceiver::State::HoldBack(Connection& connection, Bytes bytes, bool isData) {
  connection.heldBack.assign(AsText(bytes));
  connection.heldBackIsData = isData;
}

// The held-back bytes on their own: file data, or a merged file start whose name ended with the
// read.
void PhotoReceiver::State::ReleaseHeldBack(Connection& connection) {
  const std::string held = std::exchange(connection.heldBack, {});
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(held.data()), held.size());
  if (connection.heldBackIsData) {
    WriteData(connection, bytes);
  } else {
    Handle(connection, bytes, false);
  }
}

void PhotoReceiver::State::Handle(Connection& connection, Bytes bytes, bool mayHoldBack) {
  std::vector<ChunkPiece> pieces = SplitAtMarkers(bytes);
  if (pieces.empty()) {
    HandleWholeChunk(connection, bytes, mayHoldBack);
  } else {
    HandlePieces(connection, bytes, std::move(pieces), mayHoldBack);
  }
}

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
// File data that ends like the beginning of "END||STAT||" keeps that end back for the next chunk.
void PhotoReceiver::State::HandleWholeChunk(Connection& connection, Bytes chunk, bool mayHoldBack) {
  const std::size_t tail = mayHoldBack ? PartialMarkerTail(chunk) : 0;
  const Bytes body = chunk.first(chunk.size() - tail);
  const std::string decoded = text::PercentDecode(TextPart(body), true);
  const bool isData = decoded.find(kFileStartMarker) == std::string::npos &&
                      decoded.find(kEndMarker) == std::string::npos;
  if (isData) {
    WriteData(connection, body);
    if (tail > 0) HoldBack(connection, chunk.last(tail), true);
  } else if (tail > 0) {
    HandleWholeChunk(connection, chunk, false);  // not data: the whole chunk is a message
  } else if (decoded.find(kFileStartMarker) != std::string::npos) {
    StartFile(connection, WithoutFileStartMarkers(decoded));
  }
}

// A chunk holding several messages that the network merged: each piece in order.
// The chunk may end inside a merged file start: with the name that follows a counted "END||"
// running to its end, or with file data ending like the beginning of "END||STAT||". That end is
// kept for the next chunk.
void PhotoReceiver::State::HandlePieces(Connection& connection, Bytes bytes,
                                        std::vector<ChunkPiece> pieces, bool mayHoldBack) {
  const auto endsChunk = [&](const ChunkPiece& piece) {
    return piece.bytes.data() + piece.bytes.size() == bytes.data() + bytes.size();
  };
  const std::size_t count = pieces.size();
  if (mayHoldBack && count >= 2 && pieces[count - 1].kind == PieceKind::kFileStart &&
      pieces[count - 2].kind == PieceKind::kEnd && endsChunk(pieces[count - 1])) {
    const auto from = static_cast<std::size_t>(pieces[count - 2].bytes.data() - bytes.data());
    if (bytes.size() - from <= kMaxHeldName) {
      HoldBack(connection, bytes.subspan(from), false);
      pieces.resize(count - 2);
    }
  } else if (mayHoldBack && pieces.back().kind == PieceKind::kData && endsChunk(pieces.back())) {
    const std::size_t tail = PartialMarkerTail(pieces.back().bytes);
    if (tail > 0) {
      HoldBack(connection, pieces.back().bytes.last(tail), true);
      pieces.back().bytes = pieces.back().bytes.first(pieces.back().bytes.size() - tail);
    }
  }
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

// Held-back bytes go in front of the chunk when together they still read as the beginning of
// "END||STAT||"; otherwise they were file data after all and are written first.
void PhotoReceiver::HandleChunk(const std::string& client, std::span<const std::uint8_t> chunk) {
  Connection& connection = state_->connections[client];
  if (connection.heldBack.empty()) return state_->Handle(connection, chunk, true);

  std::string joined = std::exchange(connection.heldBack, {});
  joined.append(AsText(chunk));
  const std::size_t compared = std::min(joined.size(), kMessageBoundary.size());
  if (connection.heldBackIsData && joined.compare(0, compared, kMessageBoundary, 0, compared) != 0) {
    connection.heldBack = joined.substr(0, joined.size() - chunk.size());
    state_->ReleaseHeldBack(connection);
    return state_->Handle(connection, chunk, true);
  }
  state_->Handle(connection, Bytes(reinterpret_cast<const std::uint8_t*>(joined.data()), joined.size()), true);
}

void PhotoReceiver::ClientGone(const std::string& client) {
  const auto it = state_->connections.find(client);
  if (it == state_->connections.end()) return;
  state_->EndConnection(it->second);
  state_->connections.erase(it);
}

void PhotoReceiver::Finish() {
  for (auto& [client, connection] : state_->connections) state_->EndConnection(connection);
  state_->connections.clear();
  state_->orphanedFiles.clear();
}

bool PhotoReceiver::HoldsOpenFile(const std::string& client) const {
  const auto it = state_->connections.find(client);
  return it != state_->connections.end() && it->second.file != nullptr;
}

std::int32_t PhotoReceiver::receivedCount() const { return state_->receivedCount; }

}  // namespace quenmora::link
