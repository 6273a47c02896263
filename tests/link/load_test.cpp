// Load on the real link over 127.0.0.1: many phones that do not pause, sending at once. Every
// photo must arrive byte-identical under its own name, and every file start be counted once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <latch>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "link/server/phone_link.h"
#include "link/wire/wire_format.h"
#include "tests/support/test_phone.h"
#include "tests/support/test_ui_thread.h"
#include "text/codepage.h"

namespace quenmora::link {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kPhones = 32;
constexpr int kPhotosPerPhone = 50;

struct Photo {
  std::string utf8Name;
  std::string encodedName;  // as the phone sends it
  std::string data;
};

// "手机07-学生12.jpg": distinct per phone and photo, with multi-byte characters that a read may cut.
Photo NamedPhoto(int phone, int index) {
  const std::string number = (phone < 10 ? "0" : "") + std::to_string(phone) + "-";
  const std::string photo = (index < 10 ? "0" : "") + std::to_string(index) + ".jpg";
  return {reinterpret_cast<const char*>(u8"手机") + number +
              reinterpret_cast<const char*>(u8"学生") + photo,
          "%E6%89%8B%E6%9C%BA" + number + "%E5%AD%A6%E7%94%9F" + photo, {}};
}

// JPEG-like data: FF D8 FF E0 (cut short for the tiniest photos), then random bytes with zero
// bytes among them but no "|" and no "%", so that no marker, raw or encoded, is in the data.
std::string PhotoData(std::size_t size, std::mt19937& random) {
  std::string data = std::string("\xff\xd8\xff\xe0").substr(0, size);
  std::uniform_int_distribution<int> byte(0, 255);
  while (data.size() < size) {
    const char c = static_cast<char>(byte(random));
    data.push_back(c == '|' || c == '%' ? 'x' : c);
  }
  return data;
}

// Sizes from 2 bytes to 1 MiB: every tenth photo tiny, every tenth large, the rest in between.
std::size_t PhotoSize(int index, std::mt19937& random) {
  constexpr std::size_t kTiny[] = {2, 3, 4, 17, 100};
  if (index % 10 == 0) return kTiny[std::uniform_int_distribution<std::size_t>(0, 4)(random)];
  if (index % 10 == 5) return std::uniform_int_distribution<std::size_t>(128 << 10, 1 << 20)(random);
  return std::uniform_int_distribution<std::size_t>(1000, 64 << 10)(random);
}

std::vector<Photo> PhotosOf(int phone) {
  std::mt19937 random(3456 + static_cast<unsigned>(phone));
  std::vector<Photo> photos;
  for (int i = 0; i < kPhotosPerPhone; ++i) {
    Photo photo = NamedPhoto(phone, i);
    photo.data = PhotoData(PhotoSize(i, random), random);
    photos.push_back(std::move(photo));
  }
  return photos;
}

// The phone's whole stream with no pause anywhere.
std::string StreamOf(const std::vector<Photo>& photos) {
  std::string stream;
  for (const Photo& photo : photos) {
    stream.append(kFileStartMarker).append(photo.encodedName).append(photo.data).append(kEndMarker);
  }
  return stream;
}

std::string FileContent(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

fs::path PathOf(const fs::path& directory, const Photo& photo) {
  return directory / fs::path(std::u8string(photo.utf8Name.begin(), photo.utf8Name.end()));
}

TEST(LinkLoadTest, ThirtyTwoPhonesWithoutPausesSendFiftyPhotosEachAtOnce) {
  std::vector<Photo> photos;
  std::vector<std::string> streams;
  for (int phone = 0; phone < kPhones; ++phone) {
    std::vector<Photo> own = PhotosOf(phone);
    streams.push_back(StreamOf(own));
    photos.insert(photos.end(), std::make_move_iterator(own.begin()),
                  std::make_move_iterator(own.end()));
  }

  test_support::TestUiThread ui;  // outlives the link, whose network thread feeds it
  std::vector<std::string> started, notices;
  fs::path directory;
  PhoneLinkHooks hooks;
  hooks.reception.receiveDirectory = [&] { return directory.string(); };
  hooks.reception.fileStarted = [&](std::int32_t, const std::string& name) {
    started.push_back(name);
  };
  hooks.reception.notice = [&](const std::string& line) { notices.push_back(line); };
  PhoneLink link(ui.executor(), hooks);
  ASSERT_TRUE(link.Start(0));
  // Named after the port, which no other run holds now.
  directory =
      fs::temp_directory_path() / ("quenmora-link-load-test-" + std::to_string(link.port()));
  fs::remove_all(directory);
  fs::create_directories(directory);

  // Every phone connects first; then all of them send at once.
  std::latch allConnected(kPhones);
  std::atomic<int> phonesDone = 0;
  std::mutex failuresMutex;
  std::vector<std::string> failures;
  std::vector<std::jthread> phones;
  for (int phone = 0; phone < kPhones; ++phone) {
    phones.emplace_back([&, phone] {
      bool arrived = false;
      try {
        test_support::TestPhone socket(link.port());
        allConnected.arrive_and_wait();
        arrived = true;
        socket.Write(streams[static_cast<std::size_t>(phone)]);
        socket.Close();
      } catch (const std::exception& error) {
        if (!arrived) allConnected.count_down();
        const std::lock_guard lock(failuresMutex);
        failures.push_back("phone " + std::to_string(phone) + ": " + error.what());
      }
      ++phonesDone;
    });
  }

  // Waits until every photo has its full size on disk; a photo that never gets there (lost or
  // merged into another) ends the wait at the deadline. Sizes are checked only for the photos
  // still missing, so the check stays cheap while the chunks are handled.
  std::vector<const Photo*> incomplete;
  for (const Photo& photo : photos) incomplete.push_back(&photo);
  const std::size_t total = photos.size();
  const bool complete = ui.RunUntil(
      [&] {
        if (phonesDone < kPhones || started.size() < total) return false;
        std::erase_if(incomplete, [&](const Photo* photo) {
          std::error_code error;
          return fs::file_size(PathOf(directory, *photo), error) == photo->data.size();
        });
        return incomplete.empty();
      },
      60s);
  // Stopping the network first also ends the writes of phones the link no longer reads.
  link.Shutdown();
  phones.clear();
  EXPECT_TRUE(failures.empty()) << failures.front();
  EXPECT_TRUE(complete) << incomplete.size() << " photos short, first "
                        << incomplete.front()->utf8Name << "; " << notices.size() << " notices";

  EXPECT_EQ(started.size(), total);
  EXPECT_EQ(link.receivedCount(), static_cast<std::int32_t>(total));
  std::set<std::string> expectedNames, startedNames(started.begin(), started.end());
  for (const Photo& photo : photos) expectedNames.insert(text::Utf8ToAnsi(photo.utf8Name));
  EXPECT_TRUE(startedNames == expectedNames) << startedNames.size() << " distinct names started";

  std::size_t identical = 0;
  for (const Photo& photo : photos) identical += FileContent(PathOf(directory, photo)) == photo.data;
  EXPECT_EQ(identical, total);
  EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()),
            static_cast<std::ptrdiff_t>(total));

  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

}  // namespace
}  // namespace quenmora::link
