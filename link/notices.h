#pragma once
// Texts the phone link shows to the operator.
#include <array>
#include <cstdint>
#include <string>

#include "text/gbk_text.h"

namespace quenmora::link {

inline constexpr text::GbkText kRosterEmpty{u8"请复制电子表格的学生名册到名册框里！",
    "\xc7\xeb\xb8\xb4\xd6\xc6\xb5\xe7\xd7\xd3\xb1\xed\xb8\xf1\xb5\xc4\xd1\xa7\xc9\xfa\xc3\xfb\xb2\xe1\xb5\xbd\xc3\xfb\xb2\xe1\xbf\xf2\xc0\xef\xa3\xa1"};
inline constexpr text::GbkText kPhoneNotConnected{u8"手机未连接！",
    "\xca\xd6\xbb\xfa\xce\xb4\xc1\xac\xbd\xd3\xa3\xa1"};
// Halves of the notice that the server cannot listen; the port goes between them.
inline constexpr text::GbkText kListenFailedBeforePort{u8"无法监听端口",
    "\xce\xde\xb7\xa8\xbc\xe0\xcc\xfd\xb6\xcb\xbf\xda"};
inline constexpr text::GbkText kListenFailedAfterPort{u8"，手机将无法连接（可能已有一个本程序在运行）",
    "\xa3\xac\xca\xd6\xbb\xfa\xbd\xab\xce\xde\xb7\xa8\xc1\xac\xbd\xd3\xa3\xa8\xbf\xc9\xc4\xdc\xd2\xd1\xd3\xd0\xd2\xbb\xb8\xf6\xb1\xbe\xb3\xcc\xd0\xf2\xd4\xda\xd4\xcb\xd0\xd0\xa3\xa9"};
inline constexpr text::GbkText kNameRefused{u8"已拒绝不安全的文件名：",
    "\xd2\xd1\xbe\xdc\xbe\xf8\xb2\xbb\xb0\xb2\xc8\xab\xb5\xc4\xce\xc4\xbc\xfe\xc3\xfb\xa3\xba"};
inline constexpr text::GbkText kCannotCreateFile{u8"无法创建文件：",
    "\xce\xde\xb7\xa8\xb4\xb4\xbd\xa8\xce\xc4\xbc\xfe\xa3\xba"};
inline constexpr text::GbkText kWriteFailed{u8"写入文件失败：",
    "\xd0\xb4\xc8\xeb\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xba"};
inline constexpr text::GbkText kDataDropped{u8"没有打开的文件，收到的数据已丢弃",
    "\xc3\xbb\xd3\xd0\xb4\xf2\xbf\xaa\xb5\xc4\xce\xc4\xbc\xfe\xa3\xac\xca\xd5\xb5\xbd\xb5\xc4\xca\xfd\xbe\xdd\xd2\xd1\xb6\xaa\xc6\xfa"};
// A new connection went over the limit: the oldest connection with no file open was closed to
// make room, or, with every other one receiving a file, the new one. The address follows.
inline constexpr text::GbkText kIdleConnectionClosed{u8"连接已满，已断开最早的空闲连接：",
    "\xc1\xac\xbd\xd3\xd2\xd1\xc2\xfa\xa3\xac\xd2\xd1\xb6\xcf\xbf\xaa\xd7\xee\xd4\xe7\xb5\xc4\xbf\xd5\xcf\xd0\xc1\xac\xbd\xd3\xa3\xba"};
inline constexpr text::GbkText kNewConnectionRefused{u8"连接已满，已拒绝新的连接：",
    "\xc1\xac\xbd\xd3\xd2\xd1\xc2\xfa\xa3\xac\xd2\xd1\xbe\xdc\xbe\xf8\xd0\xc2\xb5\xc4\xc1\xac\xbd\xd3\xa3\xba"};

// Every text above, for the test that reads each back.
inline constexpr std::array kGbkTexts{kRosterEmpty, kPhoneNotConnected, kListenFailedBeforePort,
                                      kListenFailedAfterPort, kNameRefused, kCannotCreateFile,
                                      kWriteFailed, kDataDropped, kIdleConnectionClosed,
                                      kNewConnectionRefused};

// The notice that the server cannot listen on `port`.
std::string ListenFailedNotice(std::uint16_t port);

}  // namespace quenmora::link
