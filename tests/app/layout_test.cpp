#include "app/layout.h"

#include <gtest/gtest.h>

#include "app/texts.h"

namespace quenmora::app {
namespace {

// Every control of the window lies inside the minimum client area, and every control of a group
// box inside the box.
void ExpectControlsFit(const WindowSpec& window) {
  for (const ControlSpec& control : window.controls) {
    const Rect rect = ClientRect(window, control);
    EXPECT_GE(rect.left, 0) << control.id;
    EXPECT_GE(rect.top, 0) << control.id;
    EXPECT_LE(rect.left + rect.width, window.minClientWidth) << control.id;
    EXPECT_LE(rect.top + rect.height, window.minClientHeight) << control.id;
    if (!control.parent) continue;
    const ControlSpec& box = Control(window, *control.parent);
    EXPECT_EQ(box.kind, ControlKind::GroupBox) << control.id;
    EXPECT_LE(control.left + control.width, box.width) << control.id;
    EXPECT_LE(control.top + control.height, box.height) << control.id;
  }
}

TEST(Layout, EveryControlIsFoundUnderItsOwnName) {
  constexpr MainControl lastMain = MainControl::按钮2;
  for (int id = 0; id <= static_cast<int>(lastMain); ++id)
    EXPECT_EQ(Control(static_cast<MainControl>(id)).id, id);
  EXPECT_EQ(MainWindowLayout().controls.size(), static_cast<std::size_t>(lastMain) + 1);

  constexpr PickerControl lastPicker = PickerControl::按钮2;
  for (int id = 0; id <= static_cast<int>(lastPicker); ++id)
    EXPECT_EQ(Control(static_cast<PickerControl>(id)).id, id);
  EXPECT_EQ(FolderPickerLayout().controls.size(), static_cast<std::size_t>(lastPicker) + 1);
}

TEST(Layout, GroupBoxChildrenAreOffsetByTheBoxCorner) {
  const Rect count = ClientRect(MainWindowLayout(), Control(MainControl::标签4));
  EXPECT_EQ(count.left, 15 + 128);
  EXPECT_EQ(count.top, 344 + 21);
  EXPECT_EQ(count.width, 96);
  EXPECT_EQ(count.height, 24);
  const Rect send = ClientRect(MainWindowLayout(), Control(MainControl::按钮1));
  EXPECT_EQ(send.left, 15 + 261);
  EXPECT_EQ(send.top, 128 + 166);
  const Rect info = ClientRect(MainWindowLayout(), Control(MainControl::编辑框1));
  EXPECT_EQ(info.left, 21);
  EXPECT_EQ(info.top, 45);
}

TEST(Layout, ControlsFitTheMinimumClientAreas) {
  ExpectControlsFit(MainWindowLayout());
  ExpectControlsFit(FolderPickerLayout());
}

TEST(Layout, OnlyTheHintLabelHasItsOwnFont) {
  for (const ControlSpec& control : MainWindowLayout().controls) {
    if (control.id != static_cast<int>(MainControl::标签1)) {
      EXPECT_FALSE(control.font) << control.id;
      continue;
    }
    ASSERT_TRUE(control.font);
    EXPECT_EQ(control.font->face, "\xcb\xce\xcc\xe5");  // 宋体
    EXPECT_EQ(control.font->height, 16);
    EXPECT_TRUE(control.font->gb2312Charset);
  }
}

TEST(Layout, ColumnHeadingsAre54Bytes) {
  EXPECT_EQ(Control(MainControl::标签6).text.size(), 54u);
}

}  // namespace
}  // namespace quenmora::app
