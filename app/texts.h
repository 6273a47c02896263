#pragma once
// The windows' own texts. Those in plain ASCII are the same bytes in every code page.
#include <array>
#include <string_view>

#include "text/gbk_text.h"

namespace quenmora::app {

inline constexpr std::string_view kMainCaption = "Quenmora";
inline constexpr std::string_view kMessageBoxCaption = "Quenmora";
inline constexpr text::GbkText kHint{u8"提示：",
    "\xcc\xe1\xca\xbe\xa3\xba"};
inline constexpr text::GbkText kHintFontFace{u8"宋体",
    "\xcb\xce\xcc\xe5"};
inline constexpr text::GbkText kRosterGroup{u8"发送名册到手机",
    "\xb7\xa2\xcb\xcd\xc3\xfb\xb2\xe1\xb5\xbd\xca\xd6\xbb\xfa"};
inline constexpr text::GbkText kRosterHowTo{u8"在Excel表格里按下面格式复制名册(不复制表头)到下表内(右键粘贴)",
    "\xd4\xda""Excel\xb1\xed\xb8\xf1\xc0\xef\xb0\xb4\xcf\xc2\xc3\xe6\xb8\xf1\xca\xbd\xb8\xb4\xd6\xc6\xc3\xfb\xb2\xe1(\xb2\xbb\xb8\xb4\xd6\xc6\xb1\xed\xcd\xb7)\xb5\xbd\xcf\xc2\xb1\xed\xc4\xda(\xd3\xd2\xbc\xfc\xd5\xb3\xcc\xf9)"};
inline constexpr text::GbkText kRosterColumns{u8" 学校标识码 ｜ 姓名 ｜         身份证号       ｜  班级",
    " \xd1\xa7\xd0\xa3\xb1\xea\xca\xb6\xc2\xeb \xa3\xfc \xd0\xd5\xc3\xfb \xa3\xfc         \xc9\xed\xb7\xdd\xd6\xa4\xba\xc5       \xa3\xfc  \xb0\xe0\xbc\xb6"};
inline constexpr text::GbkText kSendRoster{u8"传名册到手机",
    "\xb4\xab\xc3\xfb\xb2\xe1\xb5\xbd\xca\xd6\xbb\xfa"};
inline constexpr text::GbkText kReceiveGroup{u8"接收",
    "\xbd\xd3\xca\xd5"};
inline constexpr text::GbkText kFilesReceived{u8"收到文件个数:",
    "\xca\xd5\xb5\xbd\xce\xc4\xbc\xfe\xb8\xf6\xca\xfd:"};
inline constexpr text::GbkText kReceiveDirectory{u8"接收目录",
    "\xbd\xd3\xca\xd5\xc4\xbf\xc2\xbc"};
inline constexpr text::GbkText kChoose{u8"选择...",
    "\xd1\xa1\xd4\xf1..."};
inline constexpr std::string_view kDefaultReceiveDirectory = "D:\\";
inline constexpr text::GbkText kLocalIp{u8"本机IP：",
    "\xb1\xbe\xbb\xfaIP\xa3\xba"};
// Marks after an address that the phone is unlikely to reach, or likely to.
inline constexpr text::GbkText kVirtualAdapterMark{u8"（虚拟网卡，手机一般连不上）",
    "\xa3\xa8\xd0\xe9\xc4\xe2\xcd\xf8\xbf\xa8\xa3\xac\xca\xd6\xbb\xfa\xd2\xbb\xb0\xe3\xc1\xac\xb2\xbb\xc9\xcf\xa3\xa9"};
inline constexpr text::GbkText kNotConnectedMark{u8"（未连上网络）",
    "\xa3\xa8\xce\xb4\xc1\xac\xc9\xcf\xcd\xf8\xc2\xe7\xa3\xa9"};
inline constexpr text::GbkText kHotspotMark{u8"（本机热点）",
    "\xa3\xa8\xb1\xbe\xbb\xfa\xc8\xc8\xb5\xe3\xa3\xa9"};
inline constexpr text::GbkText kInstructions{u8"\r\n操作方法:\r\n1.手机WIFI连接上与本电脑在同一局域网路由器\r\n2.将本机IP填写到手机端软件的地址框,并点击'连接'按钮",
    "\r\n\xb2\xd9\xd7\xf7\xb7\xbd\xb7\xa8:\r\n1.\xca\xd6\xbb\xfaWIFI\xc1\xac\xbd\xd3\xc9\xcf\xd3\xeb\xb1\xbe\xb5\xe7\xc4\xd4\xd4\xda\xcd\xac\xd2\xbb\xbe\xd6\xd3\xf2\xcd\xf8\xc2\xb7\xd3\xc9\xc6\xf7\r\n2.\xbd\xab\xb1\xbe\xbb\xfaIP\xcc\xee\xd0\xb4\xb5\xbd\xca\xd6\xbb\xfa\xb6\xcb\xc8\xed\xbc\xfe\xb5\xc4\xb5\xd8\xd6\xb7\xbf\xf2,\xb2\xa2\xb5\xe3\xbb\xf7'\xc1\xac\xbd\xd3'\xb0\xb4\xc5\xa5"};
inline constexpr text::GbkText kRosterHasUnmappable{u8"名册中有无法用GBK表示的字符，已替换为?",
    "\xc3\xfb\xb2\xe1\xd6\xd0\xd3\xd0\xce\xde\xb7\xa8\xd3\xc3GBK\xb1\xed\xca\xbe\xb5\xc4\xd7\xd6\xb7\xfb\xa3\xac\xd2\xd1\xcc\xe6\xbb\xbb\xce\xaa?"};
inline constexpr text::GbkText kPickerCaption{u8"浏览文件夹",
    "\xe4\xaf\xc0\xc0\xce\xc4\xbc\xfe\xbc\xd0"};
inline constexpr text::GbkText kPickerPrompt{u8"请选择欲安装到的目录:",
    "\xc7\xeb\xd1\xa1\xd4\xf1\xd3\xfb\xb0\xb2\xd7\xb0\xb5\xbd\xb5\xc4\xc4\xbf\xc2\xbc:"};
inline constexpr text::GbkText kPickerSelected{u8"所选目录:",
    "\xcb\xf9\xd1\xa1\xc4\xbf\xc2\xbc:"};
inline constexpr text::GbkText kOk{u8"确定",
    "\xc8\xb7\xb6\xa8"};
inline constexpr text::GbkText kCancel{u8"取消",
    "\xc8\xa1\xcf\xfb"};
inline constexpr std::string_view kPickerStartDirectory = "D:\\Program Files";
inline constexpr std::string_view kPickerStartDrive = "D:\\";

// Every GbkText above, for the test that reads each back.
inline constexpr std::array kGbkTexts{
    kHint, kHintFontFace, kRosterGroup, kRosterHowTo, kRosterColumns, kSendRoster, kReceiveGroup,
    kFilesReceived, kReceiveDirectory, kChoose, kLocalIp, kVirtualAdapterMark, kNotConnectedMark,
    kHotspotMark, kInstructions, kRosterHasUnmappable,
    kPickerCaption, kPickerPrompt, kPickerSelected, kOk, kCancel};

}  // namespace quenmora::app
