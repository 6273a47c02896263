// Reception with the disk on a thread of its own: a disk that holds a write does not hold the
// reception, a disk near full keeps its reserve, and no photo grows past its limit.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/reception/disk_thread.h"
#include "link/reception/notices.h"
#include "link/reception/received_files.h"
#include "reception_fixture.h"

namespace quenmora::link::testing {
namespace {

using Lines = std::vector<std::string>;

// The system's files, with writes that wait while the test holds them, a free space the test
// sets, and, when asked, writes that only count their bytes.
class TestDisk : public FileLayer {
 public:
  void Hold() {
    const std::lock_guard lock(mutex_);
    held_ = true;
  }
  void Release() {
    {
      const std::lock_guard lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }
  // Waits until a write is being held.
  void WaitUntilHolding() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return holding_; });
  }
  bool Append(OutputFile& file, std::span<const std::uint8_t> bytes) override {
    {
      std::unique_lock lock(mutex_);
      holding_ = held_;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !held_; });
      holding_ = false;
      counted_ += bytes.size();
      if (onlyCount_) return true;
    }
    return file.Append(bytes);
  }
  std::optional<std::uint64_t> FreeBytes(const std::u16string&) override {
    const std::lock_guard lock(mutex_);
    return free_;
  }
  void SetFree(std::uint64_t bytes) {
    const std::lock_guard lock(mutex_);
    free_ = bytes;
  }
  void OnlyCount() { onlyCount_ = true; }
  std::uint64_t counted() {
    const std::lock_guard lock(mutex_);
    return counted_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false, holding_ = false, onlyCount_ = false;
  std::uint64_t free_ = std::uint64_t{1} << 40, counted_ = 0;
};

class DiskThreadTest : public ReceptionTest {
 protected:
  DiskThreadTest() : DiskThreadTest(std::make_shared<TestDisk>()) {}
  explicit DiskThreadTest(std::shared_ptr<TestDisk> made) : ReceptionTest(made), disk(std::move(made)) {}

  bool Handle(ConnectionId id, std::string_view bytes) {
    return receiver.HandleChunk({.id = id, .address = "10.0.0.5:4000"},
                                std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  }
  std::string Path(const std::string& name) const { return directoryText + kSeparator + name; }

  std::shared_ptr<TestDisk> disk;
};

TEST_F(DiskThreadTest, AHeldWriteHoldsNeitherTheFileStartsNorTheirOrder) {
  const std::string a = PhotoBytes(300000, 1), b = PhotoBytes(200000, 2);
  disk->Hold();
  ASSERT_TRUE(Handle(1, "STAT||a.jpg" + a));
  disk->WaitUntilHolding();
  // The disk is stuck on a's first write; reception goes on, takeover included.
  ASSERT_TRUE(Handle(1, "END||STAT||b.jpg" + b.substr(0, 1000)));
  ASSERT_TRUE(Handle(2, "STAT||b.jpg" + b + "END||"));
  ASSERT_TRUE(Handle(1, b.substr(1000, 1000)));
  EXPECT_EQ(starts.size(), 3u);
  EXPECT_EQ(receiver.receivedCount(), 3);
  const Lines takenOver{std::string(kTakenOver) + Path("b.jpg")};
  EXPECT_EQ(notices, takenOver);
  disk->Release();
  Settle();
  EXPECT_EQ(Contents("a.jpg"), a);
  EXPECT_EQ(Contents("b.jpg"), b);
  EXPECT_EQ(notices, takenOver);
}

// A program that closes waits for the disk only so long, and then knows which files it left.
TEST_F(DiskThreadTest, WaitingForTheDiskAtTheEndNamesTheFilesNotWrittenWithinTheBound) {
  const std::string a = PhotoBytes(1000, 1);
  disk->Hold();
  ASSERT_TRUE(Handle(1, "STAT||a.jpg" + a + "END||"));
  disk->WaitUntilHolding();
  receiver.Finish();
  EXPECT_EQ(receiver.WaitUntilWritten(std::chrono::milliseconds(100)), Lines{Path("a.jpg")});
  disk->Release();
  EXPECT_EQ(receiver.WaitUntilWritten(std::chrono::seconds(10)), Lines{});
  EXPECT_EQ(Contents("a.jpg"), a);
}

TEST_F(DiskThreadTest, ADiskBelowItsReserveTakesNoNewPhotoAndStopsTheOneItWrites) {
  const std::string below = std::string(kDiskBelowReserve) + directoryText;

  disk->SetFree(kDiskReserveBytes - 1);
  Send("phone:1", "STAT||a.jpg" + PhotoBytes(1000, 1));
  EXPECT_FALSE(Exists("a.jpg"));
  EXPECT_EQ(notices, Lines{below});
  EXPECT_EQ(receiver.receivedCount(), 1);

  notices.clear();
  disk->SetFree(kDiskReserveBytes);
  const std::string photo = PhotoBytes(3 << 20, 2);
  Send("phone:1", "END||STAT||b.jpg" + photo);
  disk->SetFree(kDiskReserveBytes - 1);
  for (int i = 0; i < 4; ++i) Send("phone:1", photo);  // the check comes at 8 MiB
  Send("phone:1", "END||");
  EXPECT_EQ(notices, (Lines{below, std::string(kIncompletePhoto) + Path("b.jpg")}));
  EXPECT_LT(Contents("b.jpg").size(), kFreeSpaceCheckBytes);
  EXPECT_EQ(receiver.receivedCount(), 2);
}

TEST_F(DiskThreadTest, APhotoStopsAtItsLimitAndItsConnectionIsClosed) {
  disk->OnlyCount();
  const std::string chunk = PhotoBytes(1 << 20, 3);
  ASSERT_TRUE(Send("10.0.0.9:5000", "STAT||big.jpg" + chunk));
  std::uint64_t sent = chunk.size();
  bool readOn = true;
  while (readOn && sent <= kMaxPhotoBytes + chunk.size()) {
    readOn = Send("10.0.0.9:5000", chunk);
    sent += chunk.size();
  }
  EXPECT_FALSE(readOn);
  EXPECT_EQ(disk->counted(), kMaxPhotoBytes);
  EXPECT_EQ(notices, (Lines{std::string(kIncompletePhoto) + Path("big.jpg"),
                                 std::string(kPhotoTooLarge) + "10.0.0.9:5000"}));
}

}  // namespace
}  // namespace quenmora::link::testing
