// Reception on the day of the shoot: phones that drop off the Wi-Fi and re-send, cut-off photos,
// floods of bad names, a bad receive directory, names that code page 936 cannot write.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "link/reception/notices.h"
#include "reception_fixture.h"

namespace quenmora::link::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using ShootDay = ReceptionTest;

std::string Line(std::string_view notice, std::string_view detail = {}) {
  return std::string(notice) + std::string(detail);
}

// A photo re-sent on a new connection while the old one still holds the file open (alive, or
// gone with its photo unfinished) takes the file over: the new transfer writes it from the start,
// and what the old connection still sends is dropped, with one line.
TEST_F(ShootDay, AReSentPhotoTakesItsFileOverFromTheOldConnection) {
  const std::string photo = PhotoBytes(40000, 11);
  for (const bool oldConnectionGone : {false, true}) {
    SCOPED_TRACE(oldConnectionGone);
    notices.clear();
    Send("old:1", "STAT||a.jpg" + photo.substr(0, 15000));
    if (oldConnectionGone) Gone("old:1");
    notices.clear();
    Send("new:2", "STAT||a.jpg" + photo.substr(0, 20000));
    if (!oldConnectionGone) {
      Send("old:1", photo.substr(15000, 5000));
      Send("old:1", photo.substr(20000, 5000));
    }
    Send("new:2", photo.substr(20000) + "END||");
    EXPECT_EQ(Contents("a.jpg"), photo);
    EXPECT_TRUE(HeldOpen("a.jpg"));
    EXPECT_EQ(notices, oldConnectionGone ? Lines{}
                                         : Lines{Line(kTakenOver, directoryText + kSeparator + "a.jpg")});
    Gone("old:1");
    Gone("new:2");
    EXPECT_FALSE(HeldOpen("a.jpg"));
  }
}

// A photo whose end has not come when its connection closes or starts the next file is named;
// one that ended is not.
TEST_F(ShootDay, AnIncompletePhotoIsNamedWhenItsConnectionMovesOn) {
  struct Case {
    const char* what;
    std::vector<std::string> reads;
    bool thenGone;
    Lines expected;
  };
  const std::string data = PhotoBytes(3000, 12);
  const std::string a = directoryText + kSeparator + "a.jpg";
  const std::vector<Case> cases = {
      {"closed before the end", {"STAT||a.jpg" + data}, true, {Line(kIncompletePhoto, a)}},
      {"next file before the end", {"STAT||a.jpg" + data + "END|", "STAT||b.jpg" + data}, false,
       {Line(kIncompletePhoto, a)}},
      {"ended, then closed", {"STAT||a.jpg" + data + "END||"}, true, {}},
      {"ended, then the next", {"STAT||a.jpg" + data + "END||STAT||b.jpg" + data + "END||"}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    notices.clear();
    for (const std::string& read : c.reads) Send("phone:1", read);
    if (c.thenGone) Gone("phone:1");
    EXPECT_EQ(notices, c.expected);
    EXPECT_TRUE(Contents("a.jpg").starts_with(data));  // the partial file stays
    Gone("phone:1");
  }
}

// One read of thousands of refused names becomes one line with how many more; the connection is
// closed after 100 of them, while failures of this PC's own (a missing directory) never close it.
TEST_F(ShootDay, AFloodOfRefusedNamesIsOneLineAndClosesItsConnection) {
  std::string flood;
  for (int i = 0; i < 2000; ++i) flood += "STAT||..%2Fx" + std::to_string(i) + ".jpgEND||";
  EXPECT_FALSE(Send("flood:1", flood));
  EXPECT_EQ(notices, (Lines{Line(kNameRefused, "../x0.jpg") + std::string(kMoreOfTheKindBefore) + "100" +
                                std::string(kMoreOfTheKindAfter),
                            Line(kFloodingConnectionClosed, "flood:1")}));
  EXPECT_EQ(receiver.receivedCount(), 101);

  notices.clear();
  directoryText = DirectoryText(dir / "missing");
  std::string local;
  for (int i = 0; i < 300; ++i) local += "STAT||x" + std::to_string(i) + ".jpgEND||";
  EXPECT_TRUE(Send("phone:2", local));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_TRUE(notices[0].ends_with(std::string(kMoreOfTheKindBefore) + "299" + std::string(kMoreOfTheKindAfter)));
}

TEST_F(ShootDay, ALongNameIsCutShortInItsNotice) {
  // 200 characters, "张" in code page 936 taking two bytes each.
  std::string name, shown;
  for (int i = 0; i < 100; ++i) name += "%E5%BC%A0a";
  for (int i = 0; i < 116; ++i) shown += i % 2 == 0 ? "\xD5\xC5" : "a";
  Send("phone:1", "STAT||..%2F" + name + "\xFF");
  EXPECT_EQ(notices, Lines{Line(kNameRefused, "../" + shown + std::string(kShortenedEnd))});
  EXPECT_EQ(ShownInNotice(std::string(120, 'x')), std::string(120, 'x'));
}

// A receive directory that names no one place is not used: the file start is refused and counted.
TEST_F(ShootDay, OnlyAnAbsoluteReceiveDirectoryIsUsed) {
#ifdef _WIN32
  const std::vector<std::string> bad = {"", "\\", "photos", "D:", "D:photos", "\\\\", "\\\\server"};
#else
  const std::vector<std::string> bad = {"", "photos", "./photos", "~/photos"};
#endif
  for (const std::string& directory : bad) {
    SCOPED_TRACE(directory);
    notices.clear();
    directoryText = directory;
    Send("phone:1", "STAT||a.jpg" + PhotoBytes(100, 13) + "END||");
    EXPECT_EQ(notices, Lines{Line(kBadReceiveDirectory, directory)});
  }
  EXPECT_EQ(receiver.receivedCount(), static_cast<std::int32_t>(bad.size()));
  EXPECT_FALSE(fs::exists("a.jpg"));
}

// A phone that ends its file-start message with a zero byte or a line end does not get that byte
// into the photo.
TEST_F(ShootDay, ATerminatorAfterANameIsNotData) {
  const std::string photo = PhotoBytes(2000, 14);
  for (const std::string& terminator : {std::string(1, '\0'), std::string("\r"), std::string("\n"), std::string("\r\n")}) {
    Send("phone:1", "STAT||a.jpg" + terminator);
    Send("phone:1", photo);
    Send("phone:1", "END||");
    EXPECT_EQ(Contents("a.jpg"), photo);
  }
  EXPECT_TRUE(notices.empty());
}

// What the parser held back at the end of the last read reaches the file when reception ends.
TEST_F(ShootDay, HeldBackBytesReachTheirFileAtTheEnd) {
  const std::string photo = PhotoBytes(2000, 15) + "END||STAT|";
  Send("phone:1", "STAT||a.jpg" + photo);
  Finish();
  EXPECT_EQ(Contents("a.jpg"), photo);
}

// Names with characters that code page 936 lacks keep them in the file name, so two such names
// stay two files; what is shown is code page 936 as before.
TEST_F(ShootDay, RareCharactersKeepTheirPhoto) {
  // U+3400 and U+20000, neither in code page 936.
  Send("phone:1", "STAT||%E3%90%80.jpg" + PhotoBytes(100, 16) + "END||STAT||%F0%A0%80%80.jpg" +
                      PhotoBytes(200, 17) + "END||");
  EXPECT_EQ(Contents(fs::path(u8"\u3400.jpg")), PhotoBytes(100, 16));
  EXPECT_EQ(Contents(fs::path(u8"\U00020000.jpg")), PhotoBytes(200, 17));
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].second, "?.jpg");
  EXPECT_TRUE(notices.empty());
}

}  // namespace
}  // namespace quenmora::link::testing
