#include "app/information_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/texts.h"
#include "fake_main_view.h"

namespace quenmora::app {
namespace {

using testing::FakeMainView;

constexpr auto kInfoBox = MainControl::编辑框1;
constexpr std::size_t kLimit = InformationBox::kLimit;
// 张, in code page 936.
constexpr std::string_view kZhang = "\xd5\xc5";

std::string TopText() {
  return std::string(kLocalIp) + "192.168.1.20\r\n" + std::string(kLocalIp) + "10.0.0.7\r\n" +
         std::string(kInstructions);  // which ends without a line end
}

struct Flood {
  const char* name;
  bool noticeBeforeTop;    // as the notice that the port is taken comes before the addresses
  std::size_t notices;
  std::size_t nameSize;    // of each notice's name, in characters
  bool chinese;            // the name's characters are two bytes each
  std::size_t perShow;     // notices added between two calls of Show, as in one read
};

std::string Notice(const Flood& flood, std::size_t index) {
  std::string line = "notice " + std::to_string(index) + " ";
  for (std::size_t i = 0; i < flood.nameSize; ++i) line += flood.chinese ? kZhang : "x";
  return line;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// After each Show: the box is under the limit; until it would reach the limit it holds everything
// in the order added, each notice on its own line; then the top text comes first and the newest
// notices follow it in order, having given way no further than needed. Each Show is one change
// of the box, and what the view is sent stays proportional to what was added.
TEST(InformationBox, KeepsTheTopTextAndTheNewestNoticesUnderTheLimitAtLinearCost) {
  const Flood floods[] = {
      {"a few notices", false, 20, 30, false, 1},
      {"a flood shown notice by notice", false, 6000, 20, false, 1},
      {"a flood of Chinese names in reads of 700", false, 6000, 30, true, 700},
      {"a notice before the addresses, then a flood", true, 3000, 40, true, 1},
      {"one read of long names", false, 40, 3000, false, 40},
  };
  for (const Flood& flood : floods) {
    SCOPED_TRACE(flood.name);
    FakeMainView view;
    InformationBox box(view, kInfoBox);
    std::vector<std::string> notices;
    // The box as it would be if nothing ever gave way.
    std::string unbounded;
    const auto addNotice = [&](std::string line) {
      if (!unbounded.empty() && !unbounded.ends_with("\r\n")) unbounded += "\r\n";
      unbounded += line + "\r\n";
      box.AddNotice(line);
      notices.push_back(std::move(line));
    };
    if (flood.noticeBeforeTop) addNotice("the port is taken");
    box.AddTopText(TopText());
    unbounded += TopText();
    box.Show();
    std::size_t shows = 1;

    for (std::size_t i = 0; i < flood.notices; ++i) {
      addNotice(Notice(flood, i));
      if ((i + 1) % flood.perShow != 0 && i + 1 != flood.notices) continue;
      box.Show();
      ++shows;
      const std::string shown = view.text(kInfoBox);
      ASSERT_LT(shown.size(), kLimit) << "after notice " << i;
      if (unbounded.size() < kLimit) {
        ASSERT_EQ(shown, unbounded) << "notices gave way too soon";
        continue;
      }
      ASSERT_TRUE(shown.starts_with(TopText() + "\r\n")) << "after notice " << i;
      ASSERT_TRUE(shown.ends_with(notices.back() + "\r\n")) << "after notice " << i;
      const std::size_t longest = (flood.nameSize * (flood.chinese ? 2 : 1)) + 20;
      ASSERT_GE(shown.size() + longest, InformationBox::kAfterGivingWay) << "after notice " << i;
      if (shows % 50 != 0 && i + 1 != flood.notices) continue;  // the lines one by one now and then
      const std::vector<std::string> lines = Lines(shown.substr(TopText().size() + 2));
      ASSERT_LT(lines.size(), notices.size());
      ASSERT_TRUE(std::equal(lines.begin(), lines.end(), notices.end() - lines.size()))
          << "after notice " << i;
    }
    std::size_t sent = 0;
    for (const FakeMainView::Call& call : view.calls()) sent += call.text.size();
    EXPECT_LE(sent, 4 * unbounded.size() + kLimit);
    EXPECT_LE(view.calls().size(), shows) << "more than one change of the box per Show";
  }
}

TEST(InformationBox, ANoticeTooLongForTheBoxKeepsWhatFitsInWholeCharacters) {
  for (const std::size_t asciiBefore : {0u, 1u}) {
    FakeMainView view;
    InformationBox box(view, kInfoBox);
    box.AddTopText(TopText());
    std::string name(asciiBefore, 'a');
    for (std::size_t i = 0; i < kLimit; ++i) name += kZhang;
    box.AddNotice(name);
    box.Show();
    const std::string shown = view.text(kInfoBox);
    ASSERT_TRUE(shown.starts_with(TopText() + "\r\n")) << asciiBefore;
    ASSERT_TRUE(shown.ends_with("\r\n"));
    const std::string kept = shown.substr(TopText().size() + 2, shown.size() - TopText().size() - 4);
    EXPECT_LE(shown.size(), InformationBox::kAfterGivingWay);
    EXPECT_GT(kept.size() + 2, InformationBox::kAfterGivingWay - TopText().size() - 4);
    EXPECT_TRUE(name.starts_with(kept));
    EXPECT_EQ((kept.size() - asciiBefore) % 2, 0u) << "a character was cut in two";
  }
}

}  // namespace
}  // namespace quenmora::app
