#include "app/layout.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "app/texts.h"

namespace quenmora::app {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGrey{128, 128, 128};

constexpr int Id(MainControl c) { return static_cast<int>(c); }
constexpr int Id(PickerControl c) { return static_cast<int>(c); }

constexpr int kRosterBox = Id(MainControl::分组框2);
constexpr int kReceiveBox = Id(MainControl::分组框1);

const std::array kMainControls{
    ControlSpec{.id = Id(MainControl::标签1), .kind = ControlKind::Label, 
                .left = 13, .top = 15, .width = 80, .height = 24, .text = kHint,
                .font = FontSpec{.face = kHintFontFace, .height = 16, .gb2312Charset = true}},
    ControlSpec{.id = Id(MainControl::编辑框1), .kind = ControlKind::Edit, 
                .left = 21, .top = 45, .width = 403, .height = 75, .text = "",
                .textColour = kGreen, .backColour = kBlack, .border = Border::Sunken,
                .multiLine = true, .verticalScroll = true},
    ControlSpec{.id = kRosterBox, .kind = ControlKind::GroupBox, 
                .left = 15, .top = 128, .width = 409, .height = 208, .text = kRosterGroup,
                .textColour = kRed},
    ControlSpec{.id = Id(MainControl::标签5), .kind = ControlKind::Label, .parent = kRosterBox,
                .left = 8, .top = 19, .width = 392, .height = 24, .text = kRosterHowTo,
                .textColour = kBlue},
    ControlSpec{.id = Id(MainControl::标签6), .kind = ControlKind::Label, .parent = kRosterBox,
                .left = 12, .top = 43, .width = 385, .height = 16, .text = kRosterColumns,
                .textColour = kBlack, .backColour = kGrey, .border = Border::Single},
    // No scroll bars: the text scrolls with the caret, so a long roster can still be pasted whole.
    ControlSpec{.id = Id(MainControl::编辑框2), .kind = ControlKind::Edit, .parent = kRosterBox,
                .left = 12, .top = 59, .width = 386, .height = 104, .text = "",
                .textColour = kBlack, .backColour = kWhite, .border = Border::Sunken,
                .multiLine = true},
    ControlSpec{.id = Id(MainControl::按钮1), .kind = ControlKind::Button, .parent = kRosterBox,
                .left = 261, .top = 166, .width = 136, .height = 28, .text = kSendRoster},
    ControlSpec{.id = kReceiveBox, .kind = ControlKind::GroupBox, 
                .left = 15, .top = 344, .width = 409, .height = 96, .text = kReceiveGroup,
                .textColour = kRed},
    ControlSpec{.id = Id(MainControl::标签3), .kind = ControlKind::Label, .parent = kReceiveBox,
                .left = 16, .top = 21, .width = 104, .height = 24, .text = kFilesReceived,
                .textColour = kBlack},
    ControlSpec{.id = Id(MainControl::标签4), .kind = ControlKind::Label, .parent = kReceiveBox,
                .left = 128, .top = 21, .width = 96, .height = 24, .text = "0",
                .textColour = kRed},
    ControlSpec{.id = Id(MainControl::标签2), .kind = ControlKind::Label, .parent = kReceiveBox,
                .left = 16, .top = 56, .width = 64, .height = 32, .text = kReceiveDirectory,
                .textColour = kBlack},
    ControlSpec{.id = Id(MainControl::目录编辑框1), .kind = ControlKind::Edit,
                .parent = kReceiveBox, .left = 78, .top = 60, .width = 227, .height = 26,
                .text = "", .textColour = kBlack, .backColour = kWhite,
                .border = Border::Sunken},
    ControlSpec{.id = Id(MainControl::按钮2), .kind = ControlKind::Button, .parent = kReceiveBox,
                .left = 314, .top = 57, .width = 80, .height = 28, .text = kChoose},
};

const std::array kPickerControls{
    ControlSpec{.id = Id(PickerControl::标签1), .kind = ControlKind::Label, 
                .left = 8, .top = 8, .width = 144, .height = 16, .text = kPickerPrompt,
                .textColour = kBlack},
    ControlSpec{.id = Id(PickerControl::驱动框1), .kind = ControlKind::DriveList, 
                .left = 11, .top = 32, .width = 333, .height = 20, .text = ""},
    ControlSpec{.id = Id(PickerControl::目录框1), .kind = ControlKind::DirectoryList,
                .left = 11, .top = 64, .width = 333, .height = 128, .text = ""},
    ControlSpec{.id = Id(PickerControl::标签2), .kind = ControlKind::Label, 
                .left = 8, .top = 195, .width = 64, .height = 24, .text = kPickerSelected,
                .textColour = kBlack},
    // A label despite its name: the operator chooses through the lists, never by typing.
    ControlSpec{.id = Id(PickerControl::编辑框1), .kind = ControlKind::Label, 
                .left = 11, .top = 222, .width = 333, .height = 20, .text = "",
                .border = Border::Sunken},
    ControlSpec{.id = Id(PickerControl::按钮1), .kind = ControlKind::Button, 
                .left = 162, .top = 251, .width = 80, .height = 24, .text = kOk},
    ControlSpec{.id = Id(PickerControl::按钮2), .kind = ControlKind::Button, 
                .left = 262, .top = 251, .width = 80, .height = 24, .text = kCancel},
};

// What is left of the stated outer sizes (445 × 489 and 361 × 327) inside the frame of Windows:
// 8-pixel borders and a 31-pixel caption.
const WindowSpec kMainWindow{.caption = kMainCaption, .left = 50, .top = 50, .clientWidth = 429,
                             .clientHeight = 450, .controls = kMainControls};

const WindowSpec kFolderPicker{.caption = kPickerCaption, .left = 50, .top = 50,
                               .clientWidth = 345, .clientHeight = 288, .controls = kPickerControls};

}  // namespace

const WindowSpec& MainWindowLayout() { return kMainWindow; }
const WindowSpec& FolderPickerLayout() { return kFolderPicker; }

const ControlSpec& Control(const WindowSpec& window, int id) {
  const auto found = std::ranges::find(window.controls, id, &ControlSpec::id);
  if (found == window.controls.end()) throw std::out_of_range("no such control in the window");
  return *found;
}

Rect ClientRect(const WindowSpec& window, const ControlSpec& control) {
  Rect rect{control.left, control.top, control.width, control.height};
  if (control.parent) {
    const Rect box = ClientRect(window, Control(window, *control.parent));
    rect.left += box.left;
    rect.top += box.top;
  }
  return rect;
}

}  // namespace quenmora::app
