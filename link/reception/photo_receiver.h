#pragma once
// Turns each connection's reads into files in the receive directory and counts file starts. Each
// connection has its own message parser, so where the network ends a read does not matter.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/reception/file_layer.h"
#include "link/reception/client.h"
#include "link/reception/ui_executor.h"

namespace quenmora::link {

struct ReceptionHooks {
  // The receive directory (code page 936) at the moment a file starts.
  std::function<std::string()> receiveDirectory;
  // A file start was seen: the new count and the file's name (code page 936).
  std::function<void(std::int32_t count, const std::string& name)> fileStarted;
  // One line for the operator (code page 936). The notices of one read come together once it is
  // handled, each kind once; so do those of each report from the disk.
  std::function<void(const std::string& line)> notice;
  // Where the files are written; the system's when empty.
  std::shared_ptr<FileLayer> files;
};

class PhotoReceiver {
 public:
  // A connection that has sent more names than this refused as unsafe is closed: no phone does
  // that, and each one costs the operator a line.
  static constexpr std::size_t kMaxRefusedNames = 100;

  // The disk's reports reach the receiver through `ui`.
  PhotoReceiver(ReceptionHooks hooks, UiExecutor ui);
  ~PhotoReceiver();
  PhotoReceiver(const PhotoReceiver&) = delete;
  PhotoReceiver& operator=(const PhotoReceiver&) = delete;

  // One read from `client`'s connection. Its file data is handed to the disk thread before this
  // returns, but for the few bytes the parser holds while they may begin a marker or a name cut by
  // the read, which wait for the connection's next read or its end. `keep` keeps the chunk's
  // bytes valid for the disk thread, which otherwise copies them. False when the connection is to
  // be closed (it sent too many unsafe names, or a photo too large); nothing more of it is handled.
  bool HandleChunk(const Client& client, std::span<const std::uint8_t> chunk,
                   std::shared_ptr<const void> keep = nullptr);
  // The connection has closed: what its parser held is handled. Its file is closed if the photo's
  // end arrived; otherwise the operator is told the photo is incomplete, and the file stays open
  // for data from a connection that has sent no file start (the phone, reconnected).
  void ClientGone(ConnectionId connection);
  // Reception ends: every connection is handled as if it had closed, then every file is closed.
  // The disk does that in its own time: WaitUntilWritten waits for it.
  void Finish();
  // Waits `bound` at most for the disk to do everything asked so far; the paths (code page 936)
  // of the files it had not done with by then, none when it has done all.
  std::vector<std::string> WaitUntilWritten(std::chrono::milliseconds bound);
  // Returns once the disk has done everything asked so far; its reports are then queued for the
  // UI thread.
  void Drain();
  // Whether the connection is live and in the middle of a file: started, its end not yet arrived.
  bool IsReceivingFile(ConnectionId connection) const;
  std::int32_t receivedCount() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quenmora::link
