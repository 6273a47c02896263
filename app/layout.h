#pragma once
// The two windows' layouts and texts as data; a front end renders them with its own controls.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quenmora::app {

enum class MainControl { 标签1, 编辑框1, 分组框2, 标签5, 标签6, 编辑框2, 按钮1, 分组框1, 标签3, 标签4, 标签2, 目录编辑框1, 按钮2 };
enum class PickerControl { 标签1, 驱动框1, 目录框1, 标签2, 编辑框1, 按钮1, 按钮2 };

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class ControlKind { Label, Edit, GroupBox, Button, DriveList, DirectoryList };
enum class Border { None, Single, Sunken };

struct FontSpec {
  std::string_view face;  // code page 936
  int height;             // character (em) height in pixels at 96 DPI
  bool gb2312Charset;
};

struct ControlSpec {
  int id;                  // the window's control enum, as int
  ControlKind kind;
  std::optional<int> parent = {};  // a group box's id; none for the window itself
  int left, top, width, height;  // pixels at 96 DPI, relative to the parent's top-left corner
  std::string_view text;   // code page 936
  std::optional<Rgb> textColour = {};
  std::optional<Rgb> backColour = {};
  Border border = Border::None;
  bool multiLine = false;
  bool verticalScroll = false;
  std::optional<FontSpec> font = {};  // none: the front end's default font, which shows Chinese
};

struct WindowSpec {
  std::string_view caption;  // code page 936
  int left, top;             // stored screen position
  // The client area at 96 DPI, which holds every control; each front end puts its own frame
  // around it.
  int clientWidth, clientHeight;
  std::span<const ControlSpec> controls;
};

const WindowSpec& MainWindowLayout();
const WindowSpec& FolderPickerLayout();

const ControlSpec& Control(const WindowSpec& window, int id);
inline const ControlSpec& Control(MainControl c) { return Control(MainWindowLayout(), static_cast<int>(c)); }
inline const ControlSpec& Control(PickerControl c) { return Control(FolderPickerLayout(), static_cast<int>(c)); }

struct Rect {
  int left, top, width, height;
};
// The control's rectangle in the window's client area: a group box's children are offset by it.
Rect ClientRect(const WindowSpec& window, const ControlSpec& control);

}  // namespace quenmora::app
