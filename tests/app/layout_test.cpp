#include "app/layout.h"

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <stdexcept>
#include <vector>

namespace quenmora::app {
namespace {

// A small window of made-up numbers: a group box with one control inside, one control beside it.
constexpr int kBox = 7;
constexpr int kInBox = 3;
constexpr int kBeside = 4;

constexpr ControlSpec kBoxSpec{.id = kBox, .kind = ControlKind::GroupBox,
                               .left = 10, .top = 20, .width = 100, .height = 60, .text = ""};
constexpr ControlSpec kInBoxSpec{.id = kInBox, .kind = ControlKind::Label, .parent = kBox,
                                 .left = 5, .top = 6, .width = 30, .height = 10, .text = ""};
constexpr ControlSpec kBesideSpec{.id = kBeside, .kind = ControlKind::Button,
                                  .left = 2, .top = 90, .width = 40, .height = 20, .text = ""};

constexpr WindowSpec Window(std::span<const ControlSpec> controls) {
  return WindowSpec{.caption = "Test", .left = 0, .top = 0, .clientWidth = 120,
                    .clientHeight = 110, .controls = controls};
}

const std::array kControls{kBoxSpec, kInBoxSpec, kBesideSpec};
const WindowSpec kWindow = Window(kControls);

// The ids of the controls that leave the client area, or their group box.
std::vector<int> Misfits(const WindowSpec& window) {
  std::vector<int> misfits;
  for (const ControlSpec& control : window.controls) {
    const Rect rect = ClientRect(window, control);
    bool fits = rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= window.clientWidth &&
                rect.top + rect.height <= window.clientHeight;
    if (control.parent) {
      const ControlSpec& box = Control(window, *control.parent);
      fits = fits && box.kind == ControlKind::GroupBox && control.left + control.width <= box.width &&
             control.top + control.height <= box.height;
    }
    if (!fits) misfits.push_back(control.id);
  }
  return misfits;
}

TEST(Layout, ClientRectOffsetsAGroupBoxsControlsByTheBoxCorner) {
  const struct {
    int id;
    int left, top, width, height;
  } cases[] = {
      {kBox, 10, 20, 100, 60},
      {kInBox, 10 + 5, 20 + 6, 30, 10},
      {kBeside, 2, 90, 40, 20},
  };
  for (const auto& c : cases) {
    const Rect rect = ClientRect(kWindow, Control(kWindow, c.id));
    EXPECT_EQ(rect.left, c.left) << c.id;
    EXPECT_EQ(rect.top, c.top) << c.id;
    EXPECT_EQ(rect.width, c.width) << c.id;
    EXPECT_EQ(rect.height, c.height) << c.id;
  }
}

TEST(Layout, ControlFindsTheEntryOfItsIdAndThrowsForAnIdNotInTheWindow) {
  for (const ControlSpec& entry : kControls) EXPECT_EQ(&Control(kWindow, entry.id), &entry);
  EXPECT_THROW(Control(kWindow, 99), std::out_of_range);
  EXPECT_THROW(Control(MainWindowLayout(), static_cast<int>(MainControl::按钮2) + 1), std::out_of_range);
}

TEST(Layout, MisfitsNamesControlsOutsideTheClientAreaOrTheirBox) {
  ControlSpec tooWide = kBesideSpec;
  tooWide.width = 119;  // from 2: one past the client width
  ControlSpec tooLow = kBesideSpec;
  tooLow.top = 91;  // down to 111
  ControlSpec leftOfWindow = kBesideSpec;
  leftOfWindow.left = -1;
  ControlSpec outOfBox = kInBoxSpec;
  outOfBox.height = 55;  // from 6: one past the box's height, though inside the window
  ControlSpec inAButton = kInBoxSpec;
  inAButton.parent = kBeside;

  const struct {
    const char* what;
    ControlSpec changed;
    std::vector<int> expected;
  } cases[] = {
      {"as made", kBesideSpec, {}},
      {"too wide", tooWide, {kBeside}},
      {"too low", tooLow, {kBeside}},
      {"left of the window", leftOfWindow, {kBeside}},
      {"out of its box", outOfBox, {kInBox}},
      {"inside a control that is no box", inAButton, {kInBox}},
  };
  for (const auto& c : cases) {
    std::array controls = kControls;
    for (ControlSpec& control : controls)
      if (control.id == c.changed.id) control = c.changed;
    EXPECT_EQ(Misfits(Window(controls)), c.expected) << c.what;
  }
}

TEST(Layout, ControlsFitTheClientAreas) {
  EXPECT_EQ(Misfits(MainWindowLayout()), std::vector<int>{});
  EXPECT_EQ(Misfits(FolderPickerLayout()), std::vector<int>{});
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
