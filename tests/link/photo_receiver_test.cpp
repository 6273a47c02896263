#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "link/reception/notices.h"
#include "reception_fixture.h"

namespace quenmora::link::testing {
namespace {

namespace fs = std::filesystem;
using Starts = std::vector<std::pair<std::int32_t, std::string>>;
using Lines = std::vector<std::string>;

std::string Line(std::string_view notice, std::string_view detail) { return std::string(notice) + std::string(detail); }
// File data as a photo begins: with a byte that cannot go on a name.
std::string Data(std::string_view text) { return "\xFF\xD8" + std::string(text); }

using PhotoReception = ReceptionTest;

TEST_F(PhotoReception, ThreePhotosBecomeThreeFilesAndTheLastStaysOpenComplete) {
  std::vector<std::string> photos;
  for (unsigned i = 0; i < 3; ++i) {
    photos.push_back(PhotoBytes(20000 + i * 777, i));
    Send("phone:1", "STAT||photo" + std::to_string(i) + ".jpg");
    for (std::size_t at = 0; at < photos[i].size(); at += 8192) Send("phone:1", photos[i].substr(at, 8192));
    Send("phone:1", "END||");
  }
  EXPECT_EQ(receiver.receivedCount(), 3);
  EXPECT_EQ(starts, (Starts{{1, "photo0.jpg"}, {2, "photo1.jpg"}, {3, "photo2.jpg"}}));
  for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(Contents("photo" + std::to_string(i) + ".jpg"), photos[i]);
  EXPECT_FALSE(HeldOpen("photo1.jpg"));
  EXPECT_TRUE(HeldOpen("photo2.jpg"));  // readable while open: its content was complete above
  EXPECT_TRUE(notices.empty());
}

TEST_F(PhotoReception, FileStartEmptiesAFileOfTheSameName) {
  { std::ofstream(dir / "a.jpg", std::ios::binary) << "old content, longer than the new one"; }
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", Data("new"));
  EXPECT_EQ(Contents("a.jpg"), Data("new"));
}

TEST_F(PhotoReception, MarkersAreLookedForOnlyBeforeTheFirstZeroByte) {
  Send("phone:1", "STAT||a.jpg");
  const std::string data = std::string("\0STAT||b.jpg", 12) + std::string("x\0END||y", 8);
  Send("phone:1", data);
  EXPECT_EQ(Contents("a.jpg"), data);
  EXPECT_EQ(receiver.receivedCount(), 1);
}

TEST_F(PhotoReception, PercentEncodedMarkersAreRecognised) {
  Send("phone:1", "STAT%7C%7cna%6De.jpg");
  Send("phone:1", Data("abc"));
  Send("phone:1", "END%7C%7C");
  Send("phone:1", "%53TAT||second%53TAT%7C%7C.jpg");
  EXPECT_EQ(starts, (Starts{{1, "name.jpg"}, {2, "second.jpg"}}));
  EXPECT_EQ(Contents("name.jpg"), Data("abc"));
}

TEST_F(PhotoReception, ChineseNamesAreStoredUnderTheirCharacters) {
  Send("phone:1", "STAT||%E5%BC%A0%E4%B8%89.jpg");
  Send("phone:1", Data("zhang"));
  Send("phone:1", "END||");
  // Code page 936 writes these two with trail bytes "\" and "|"; they are still one name.
  Send("phone:1", "STAT||%E4%B9%97%E5%84%84.jpg");
  Send("phone:1", Data("trail"));
  EXPECT_EQ(starts, (Starts{{1, "\xD5\xC5\xC8\xFD.jpg"}, {2, "\x81\x5C\x83\x7C.jpg"}}));
  EXPECT_EQ(Contents(fs::path(u8"\u5f20\u4e09.jpg")), Data("zhang"));
  EXPECT_EQ(Contents(fs::path(u8"\u4e57\u5104.jpg")), Data("trail"));
  EXPECT_TRUE(notices.empty());
}

TEST_F(PhotoReception, NamesMayAddressExistingSubdirectories) {
  fs::create_directory(dir / "sub");
  Send("phone:1", "STAT||sub%5Ca.jpg");
  Send("phone:1", Data("in sub"));
  Send("phone:1", "END||");
  Send("phone:1", "STAT||./sub/b.jpg");
  Send("phone:1", "END||");
  Send("phone:1", "STAT||missing/c.jpg");
  Send("phone:1", Data("dropped"));
  EXPECT_EQ(Contents(fs::path("sub") / "a.jpg"), Data("in sub"));
  EXPECT_TRUE(Exists(fs::path("sub") / "b.jpg"));
  EXPECT_FALSE(Exists("missing"));
  EXPECT_EQ(notices, (Lines{Line(kCannotCreateFile, directoryText + kSeparator + "missing/c.jpg")}));
}

TEST_F(PhotoReception, UnsafeNamesAreRefusedAndTheirDataDropped) {
  const fs::path inside = dir / "in";
  fs::create_directory(inside);
  directoryText = DirectoryText(inside);
  const std::vector<std::string> unsafe = {"", "..%5Cescaped.jpg", "a/../../escaped.jpg", "%2Fescaped.jpg",
                                           "%5Cescaped.jpg", "C:escaped.jpg", "a.jpg:stream"};
  Lines expected;
  for (const std::string& name : unsafe) {
    Send("phone:1", "STAT||" + name);
    Send("phone:1", Data("photo bytes"));
    expected.push_back(Line(kNameRefused, starts.back().second));
  }
  EXPECT_EQ(receiver.receivedCount(), static_cast<std::int32_t>(unsafe.size()));
  EXPECT_EQ(notices, expected);
  EXPECT_EQ(starts.back().second, "a.jpg:stream");
  EXPECT_FALSE(Exists("escaped.jpg"));
  EXPECT_TRUE(fs::is_empty(inside));
}

TEST_F(PhotoReception, DeviceNamesAreRefusedWhereTheyAreReserved) {
  Send("phone:1", "STAT||nul.jpg");
  Send("phone:1", Data("bytes"));
#ifdef _WIN32
  EXPECT_EQ(notices, (Lines{Line(kNameRefused, "nul.jpg")}));
#else
  EXPECT_EQ(Contents("nul.jpg"), Data("bytes"));
#endif
}

TEST_F(PhotoReception, MissingDirectoryIsReportedAndTheCountStillRises) {
  directoryText = DirectoryText(dir / "gone");
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", Data("dropped"));
  Send("phone:1", Data("dropped again"));
  EXPECT_EQ(receiver.receivedCount(), 1);
  EXPECT_EQ(notices, (Lines{Line(kCannotCreateFile, directoryText + kSeparator + "a.jpg")}));
}

TEST_F(PhotoReception, EachFileStartReadsTheDirectoryAgain) {
  fs::create_directory(dir / "second");
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", Data("a"));
  directoryText = DirectoryText(dir / "second");
  Send("phone:1", "STAT||b.jpg");
  Send("phone:1", Data("b"));
  EXPECT_EQ(Contents("a.jpg"), Data("a"));
  EXPECT_EQ(Contents(fs::path("second") / "b.jpg"), Data("b"));
}

TEST_F(PhotoReception, DataWithoutAnyFileIsDroppedWithOneNoticePerConnection) {
  Send("phone:1", Data("early"));
  Send("phone:1", Data("early again"));
  Send("phone:2", Data("early too"));
  EXPECT_EQ(notices, (Lines{std::string(kDataDropped), std::string(kDataDropped)}));
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", Data("kept"));
  EXPECT_EQ(Contents("a.jpg"), Data("kept"));
  EXPECT_EQ(notices.size(), 2u);
}

TEST_F(PhotoReception, WriteFailureIsReportedOncePerFile) {
#ifdef _WIN32
  GTEST_SKIP() << "no file on Windows refuses writes after opening";
#else
  std::error_code error;
  fs::create_symlink("/dev/full", dir / "full.jpg", error);
  if (error || !fs::exists("/dev/full")) GTEST_SKIP() << "/dev/full is not available";
  Send("phone:1", "STAT||full.jpg");
  Send("phone:1", Data("fails"));
  Send("phone:1", Data("fails again"));
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", Data("fine"));
  EXPECT_EQ(notices, (Lines{Line(kWriteFailed, directoryText + "/full.jpg")}));
  EXPECT_EQ(Contents("a.jpg"), Data("fine"));
#endif
}

// Each connection writes its own file; data from a connection that never started one has no file
// to go to while every file is either live with its own connection or finished.
TEST_F(PhotoReception, TwoPhonesWriteTheirOwnFiles) {
  Send("phone:1", "STAT||a.jpg");
  Send("phone:2", "STAT||b.jpg");
  Send("phone:1", Data("A1"));
  Send("phone:2", Data("B1"));
  Send("phone:1", "END||");
  Send("phone:1", "STAT||c.jpg");  // closes a.jpg, leaves b.jpg to phone 2
  Send("phone:2", "B2");
  Send("phone:1", Data("C1"));
  Send("other:3", "X");
  EXPECT_EQ(Contents("a.jpg"), Data("A1"));
  EXPECT_EQ(Contents("b.jpg"), Data("B1") + "B2");
  EXPECT_EQ(Contents("c.jpg"), Data("C1"));
  EXPECT_FALSE(HeldOpen("a.jpg"));
  EXPECT_TRUE(HeldOpen("b.jpg"));
  EXPECT_EQ(receiver.receivedCount(), 3);
  EXPECT_EQ(notices, Lines{std::string(kDataDropped)});
}

// When a connection goes, its finished file is closed; an unfinished one is reported and stays
// open for the phone to carry on, whatever other phones start meanwhile.
TEST_F(PhotoReception, AConnectionThatGoesClosesItsFinishedFileAndKeepsAnUnfinishedOne) {
  Send("phone:1", "STAT||a.jpg" + Data("a") + "END||");
  Send("phone:2", "STAT||b.jpg" + Data("b"));
  Gone("phone:1");
  Gone("phone:2");
  EXPECT_FALSE(HeldOpen("a.jpg"));
  EXPECT_TRUE(HeldOpen("b.jpg"));
  Send("phone:3", "STAT||c.jpg" + Data("c"));
  EXPECT_TRUE(HeldOpen("b.jpg"));
  EXPECT_EQ(notices, Lines{Line(kIncompletePhoto, directoryText + kSeparator + "b.jpg")});
  Finish();
  EXPECT_FALSE(HeldOpen("b.jpg"));
  EXPECT_FALSE(HeldOpen("c.jpg"));
}

TEST_F(PhotoReception, APhoneThatReconnectsMidPhotoFinishesIt) {
  const std::string photo = PhotoBytes(30000, 7);
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", photo.substr(0, 10000));
  Gone("phone:1");
  Send("phone:9", photo.substr(10000));
  Send("phone:9", "END||");
  Send("phone:9", "STAT||b.jpg");
  Send("phone:9", Data("b"));
  EXPECT_EQ(Contents("a.jpg"), photo);
  EXPECT_EQ(Contents("b.jpg"), Data("b"));
  EXPECT_FALSE(HeldOpen("a.jpg"));
  // Told when the phone went; carrying on needs no second line.
  EXPECT_EQ(notices, Lines{Line(kIncompletePhoto, directoryText + kSeparator + "a.jpg")});
}

}  // namespace
}  // namespace quenmora::link::testing
