#pragma once
// Turns the phone's chunks into files in the receive directory and counts file starts.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace quenmora::link {

struct ReceptionHooks {
  // The receive directory (code page 936) at the moment a file starts.
  std::function<std::string()> receiveDirectory;
  // A file start was seen: the new count and the file's name (code page 936).
  std::function<void(std::int32_t count, const std::string& name)> fileStarted;
  // One line for the operator (code page 936).
  std::function<void(const std::string& line)> notice;
};

class PhotoReceiver {
 public:
  explicit PhotoReceiver(ReceptionHooks hooks);
  ~PhotoReceiver();
  PhotoReceiver(const PhotoReceiver&) = delete;
  PhotoReceiver& operator=(const PhotoReceiver&) = delete;

  // One chunk from `client`'s connection. Its bytes are handed to the system before this returns,
  // but for an end that may be a marker cut by the read (at most 10 bytes of file data, or a
  // merged name), which waits for the connection's next chunk or its end.
  void HandleChunk(const std::string& client, std::span<const std::uint8_t> chunk);
  // The connection has closed: what it held back is handled; its file stays open until the next
  // file start.
  void ClientGone(const std::string& client);
  // Reception ends: every connection is handled as if it had closed, then every file is closed.
  void Finish();
  // Whether `client`'s connection is live and has a file open.
  bool HoldsOpenFile(const std::string& client) const;
  std::int32_t receivedCount() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quenmora::link
