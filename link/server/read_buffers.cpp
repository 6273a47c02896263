#include "link/server/read_buffers.h"

#include <utility>

namespace quenmora::link {

std::shared_ptr<ReadBuffers::Buffer> ReadBuffers::Take(std::uint64_t owner) {
  std::unique_ptr<Buffer> buffer;
  {
    const std::lock_guard lock(mutex_);
    std::size_t& ownerHolds = heldBy_[owner];
    if (ownerHolds >= kMostPerConnection || held_ >= kMostInAll) {
      if (ownerHolds == 0) heldBy_.erase(owner);
      return nullptr;
    }
    ++ownerHolds;
    ++held_;
    if (!spare_.empty()) {
      buffer = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  if (!buffer) buffer = std::make_unique<Buffer>();
  return std::shared_ptr<Buffer>(buffer.release(), [buffers = shared_from_this(), owner](Buffer* returned) {
    buffers->Return(owner, returned);
  });
}

void ReadBuffers::WhenReturned(std::function<void()> returned) {
  const std::lock_guard lock(callbackMutex_);
  returned_ = std::move(returned);
}

std::size_t ReadBuffers::held() const {
  const std::lock_guard lock(mutex_);
  return held_;
}

void ReadBuffers::Return(std::uint64_t owner, Buffer* buffer) {
  {
    const std::lock_guard lock(mutex_);
    spare_.emplace_back(buffer);
    if (--heldBy_[owner] == 0) heldBy_.erase(owner);
    --held_;
  }
  // Not under mutex_: the callback may take a buffer of its own.
  const std::lock_guard lock(callbackMutex_);
  if (returned_) returned_();
}

}  // namespace quenmora::link
