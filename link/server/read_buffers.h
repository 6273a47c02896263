#pragma once
// The buffers a server's reads go into, each held until the last holder of its bytes lets go (the
// disk thread, once it has written them). Why the bounds are what they are, and what a slow disk
// does to the phones, is in README.md, "The disk". Take and held may be called on any thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace quenmora::link {

// The most one read takes. Chosen by bench/throughput: fewer, larger reads cost less per byte
// (each is handed to the UI thread and back).
inline constexpr std::size_t kReceiveBufferSize = 256 * 1024;

class ReadBuffers : public std::enable_shared_from_this<ReadBuffers> {
 public:
  using Buffer = std::array<std::uint8_t, kReceiveBufferSize>;
  static constexpr std::size_t kMostPerConnection = (1u << 20) / kReceiveBufferSize;  // 1 MiB
  static constexpr std::size_t kMostInAll = (16u << 20) / kReceiveBufferSize;         // 16 MiB

  // A buffer for a read of connection `owner`, or null while that connection, or all of them
  // together, hold the most they may.
  std::shared_ptr<Buffer> Take(std::uint64_t owner);
  // Called, on whichever thread lets a buffer go, each time one comes back; empty for none. Once
  // this returns, the callback it replaced is not running and is never called again.
  void WhenReturned(std::function<void()> returned);
  std::size_t held() const;

 private:
  void Return(std::uint64_t owner, Buffer* buffer);

  mutable std::mutex mutex_;
  std::unordered_map<std::uint64_t, std::size_t> heldBy_;
  std::size_t held_ = 0;
  std::vector<std::unique_ptr<Buffer>> spare_;  // kept for the next reads: never more than kMostInAll
  // Held while the callback runs, so that replacing it waits for a call under way.
  std::mutex callbackMutex_;
  std::function<void()> returned_;  // guarded by callbackMutex_
};

}  // namespace quenmora::link
