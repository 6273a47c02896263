#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "link/reception/notices.h"
#include "reception_fixture.h"

namespace quenmora::link::testing {
namespace {

namespace fs = std::filesystem;
using Starts = std::vector<std::pair<std::int32_t, std::string>>;
using MergedChunks = ReceptionTest;

TEST_F(MergedChunks, APhoneThatDoesNotPauseLosesNothing) {
  const std::string a = PhotoBytes(5000, 1), b = PhotoBytes(6000, 2), c = PhotoBytes(7000, 3);
  Send("phone:1", "STAT||a.jpg" + a.substr(0, 100));                     // start + data
  Send("phone:1", a.substr(100, 4850));
  Send("phone:1", a.substr(4950) + "END||STAT||b.jpg" + b.substr(0, 10));  // data + end + start + data
  Send("phone:1", b.substr(10) + "END||STAT||c.jpg");                      // data + end + start
  Send("phone:1", c + "END||");                                            // data + end
  EXPECT_EQ(starts, (Starts{{1, "a.jpg"}, {2, "b.jpg"}, {3, "c.jpg"}}));
  EXPECT_EQ(Contents("a.jpg"), a);
  EXPECT_EQ(Contents("b.jpg"), b);
  EXPECT_EQ(Contents("c.jpg"), c);
  EXPECT_TRUE(notices.empty());
}

TEST_F(MergedChunks, TwoWholePhotosInOneChunk) {
  const std::string a = PhotoBytes(3000, 4), b = PhotoBytes(3000, 5);
  Send("phone:1", "STAT||first.jpg");
  Send("phone:1", "END||STAT||a.jpg" + a + "END||STAT||b.jpg" + b + "END||");
  EXPECT_EQ(receiver.receivedCount(), 3);
  EXPECT_EQ(Contents("first.jpg"), "");
  EXPECT_EQ(Contents("a.jpg"), a);
  EXPECT_EQ(Contents("b.jpg"), b);
}

TEST_F(MergedChunks, MergedNamesAreDecodedAndCheckedLikeAnyOther) {
  const std::string a = PhotoBytes(2000, 6);
  Send("phone:1", "STAT||%2E%2E%2Fescaped.jpg" + a + "END||STAT||%E5%BC%A0%E4%B8%89.jpg" + a);
  EXPECT_EQ(starts, (Starts{{1, "../escaped.jpg"}, {2, "\xD5\xC5\xC8\xFD.jpg"}}));
  EXPECT_EQ(notices, (std::vector<std::string>{std::string(kNameRefused) + "../escaped.jpg"}));
  EXPECT_FALSE(fs::exists(dir.parent_path() / "escaped.jpg"));
  EXPECT_EQ(Contents(fs::path(u8"\u5f20\u4e09.jpg")), a);
}

TEST_F(MergedChunks, EachConnectionsPiecesGoToItsOwnFile) {
  Send("phone:1", "STAT||a.jpg\xFF" "A1");
  Send("phone:2", "STAT||b.jpg\xFF" "B1");
  Send("phone:1", "A2END||STAT||c.jpg\xFF" "C1");
  Send("phone:2", "B2END||");
  EXPECT_EQ(Contents("a.jpg"), "\xFF" "A1A2");
  EXPECT_EQ(Contents("b.jpg"), "\xFF" "B1B2");
  EXPECT_EQ(Contents("c.jpg"), "\xFF" "C1");
}

// Wherever a read ends inside "END||STAT||name" or just before it, both photos arrive whole.
TEST_F(MergedChunks, AMarkerCutByTheEndOfAReadIsJoinedAgain) {
  const std::string a = PhotoBytes(3000, 7), b = PhotoBytes(3000, 8);
  const std::string head = "STAT||a.jpg" + a;
  const std::string stream = head + "END||STAT||%E5%BC%A0.jpg" + b + "END||";
  std::int32_t count = 0;
  for (std::size_t cut = head.size() - 4; cut <= head.size() + 30; ++cut) {
    const std::string phone = "phone:" + std::to_string(cut);
    Send(phone, std::string_view(stream).substr(0, cut));
    Send(phone, std::string_view(stream).substr(cut));
    count += 2;
    EXPECT_EQ(Contents("a.jpg"), a) << "cut at " << cut;
    EXPECT_EQ(Contents(fs::path(u8"\u5f20.jpg")), b) << "cut at " << cut;
    EXPECT_EQ(receiver.receivedCount(), count) << "cut at " << cut;
    Gone(phone);
  }
  EXPECT_TRUE(notices.empty());
}

TEST_F(MergedChunks, DataThatOnlyLooksLikeACutMarkerIsWrittenInOrder) {
  Send("phone:1", "STAT||a.jpg");
  Send("phone:1", std::string("\xFF\0" "abcEN", 7));  // held back: could be "END||"
  Send("phone:1", "Dx");                              // it was not
  Send("phone:1", std::string("\0" "END|", 5));
  Send("phone:1", "|STAT");
  Send("phone:1", "y");
  Send("phone:1", "END||");
  EXPECT_EQ(Contents("a.jpg"), std::string("\xFF\0" "abcENDx" "\0" "END||STATy", 20));
  EXPECT_EQ(receiver.receivedCount(), 1);
}

TEST_F(MergedChunks, AFileStartWhoseNameEndsLikeAMarkerIsNotCut) {
  Send("phone:1", "STAT||PHOTOE");
  Send("phone:1", "STAT||SCORE_END|");
  Gone("phone:1");  // a name that runs to the end of the last read ends with it
  EXPECT_EQ(starts, (Starts{{1, "PHOTOE"}, {2, "SCORE_END|"}}));
}

TEST_F(MergedChunks, WhatIsHeldBackIsHandledWhenThePhoneGoes) {
  Send("phone:1", "STAT||a.jpg\xFF" "dataEND|");
  Gone("phone:1");
  EXPECT_EQ(Contents("a.jpg"), "\xFF" "dataEND|");
  Send("phone:2", "STAT||b.jpg\xFF" "bEND||STAT||c.jpg");
  Gone("phone:2");
  EXPECT_EQ(starts, (Starts{{1, "a.jpg"}, {2, "b.jpg"}, {3, "c.jpg"}}));
  EXPECT_TRUE(Exists("c.jpg"));
}

}  // namespace
}  // namespace quenmora::link::testing
