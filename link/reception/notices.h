#pragma once
// Texts the phone link shows to the operator.
#include <array>
#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>

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

// A photo's connection closed, or started the next file, before the photo's end arrived; the
// path follows. The partial file stays where it is, for a re-send to replace.
inline constexpr text::GbkText kIncompletePhoto{u8"照片未接收完整：",
    "\xd5\xd5\xc6\xac\xce\xb4\xbd\xd3\xca\xd5\xcd\xea\xd5\xfb\xa3\xba"};
// The receive directory box does not name one place (it is empty or relative); the box's text
// follows.
inline constexpr text::GbkText kBadReceiveDirectory{u8"接收目录无效：",
    "\xbd\xd3\xca\xd5\xc4\xbf\xc2\xbc\xce\xde\xd0\xa7\xa3\xba"};
// A connection sent too many names refused as unsafe and was closed; its address follows.
inline constexpr text::GbkText kFloodingConnectionClosed{u8"已断开发送大量无效数据的连接：",
    "\xd2\xd1\xb6\xcf\xbf\xaa\xb7\xa2\xcb\xcd\xb4\xf3\xc1\xbf\xce\xde\xd0\xa7\xca\xfd\xbe\xdd\xb5\xc4\xc1\xac\xbd\xd3\xa3\xba"};
// A newer connection started the same file again (a phone re-sending after its Wi-Fi dropped);
// what the older one still sends for it is dropped. The path follows.
inline constexpr text::GbkText kTakenOver{u8"照片已由新的连接重新接收，旧连接的数据已丢弃：",
    "\xd5\xd5\xc6\xac\xd2\xd1\xd3\xc9\xd0\xc2\xb5\xc4\xc1\xac\xbd\xd3\xd6\xd8\xd0\xc2\xbd\xd3\xca\xd5\xa3\xac\xbe\xc9\xc1\xac\xbd\xd3\xb5\xc4\xca\xfd\xbe\xdd\xd2\xd1\xb6\xaa\xc6\xfa\xa3\xba"};
// A file start was refused, or a file stopped, because the receive directory's disk had less than
// the reserve left; the directory follows.
inline constexpr text::GbkText kDiskBelowReserve{u8"接收目录所在磁盘空间不足：",
    "\xbd\xd3\xca\xd5\xc4\xbf\xc2\xbc\xcb\xf9\xd4\xda\xb4\xc5\xc5\xcc\xbf\xd5\xbc\xe4\xb2\xbb\xd7\xe3\xa3\xba"};
// A file grew past the size no photo reaches; its connection was closed. The address follows.
inline constexpr text::GbkText kPhotoTooLarge{u8"照片过大，已断开连接：",
    "\xd5\xd5\xc6\xac\xb9\xfd\xb4\xf3\xa3\xac\xd2\xd1\xb6\xcf\xbf\xaa\xc1\xac\xbd\xd3\xa3\xba"};
// A phone (its IP follows) connected while no connection from it was live; one whose last
// connection closed and that did not reconnect within a few seconds.
inline constexpr text::GbkText kPhoneConnected{u8"手机已连接：", "\xca\xd6\xbb\xfa\xd2\xd1\xc1\xac\xbd\xd3\xa3\xba"};
inline constexpr text::GbkText kPhoneDisconnected{u8"手机已断开：", "\xca\xd6\xbb\xfa\xd2\xd1\xb6\xcf\xbf\xaa\xa3\xba"};
// The roster went out whole: the phone's IP, then its number of non-empty rows between these.
inline constexpr text::GbkText kRosterSentBeforeRows{u8"名册已发送到手机：",
    "\xc3\xfb\xb2\xe1\xd2\xd1\xb7\xa2\xcb\xcd\xb5\xbd\xca\xd6\xbb\xfa\xa3\xba"};
inline constexpr text::GbkText kRowsBefore{u8"（共", "\xa3\xa8\xb9\xb2"};
inline constexpr text::GbkText kRowsAfter{u8"行）", "\xd0\xd0\xa3\xa9"};
// After a notice that stands for several of its kind from one read: how many more, between these.
inline constexpr text::GbkText kMoreOfTheKindBefore{u8"（另有", "\xa3\xa8\xc1\xed\xd3\xd0"};
inline constexpr text::GbkText kMoreOfTheKindAfter{u8"个）", "\xb8\xf6\xa3\xa9"};
// Ends a name or a path cut short in a notice.
inline constexpr text::GbkText kShortenedEnd{u8"…", "\xa1\xad"};

// Every text above, for the test that reads each back.
inline constexpr std::array kGbkTexts{kRosterEmpty, kPhoneNotConnected, kListenFailedBeforePort,
                                      kListenFailedAfterPort, kNameRefused, kCannotCreateFile,
                                      kWriteFailed, kDataDropped, kIdleConnectionClosed,
                                      kNewConnectionRefused, kIncompletePhoto, kBadReceiveDirectory,
                                      kFloodingConnectionClosed, kTakenOver, kDiskBelowReserve,
                                      kPhotoTooLarge, kPhoneConnected,
                                      kPhoneDisconnected, kRosterSentBeforeRows, kRowsBefore,
                                      kRowsAfter, kMoreOfTheKindBefore,
                                      kMoreOfTheKindAfter, kShortenedEnd};

// The notice that the server cannot listen on `port`.
std::string ListenFailedNotice(std::uint16_t port);
// The notice that `roster` went to the phone at `host`, with its number of non-empty rows.
std::string RosterSentNotice(std::string_view host, std::string_view roster);

// The longest name or path a notice shows, in characters: a name from the network can be kilobytes
// long, and the operator needs only enough of it to recognise the photo.
inline constexpr std::size_t kMaxShownCharacters = 120;
// `text` (code page 936) as a notice shows it: whole when it has at most kMaxShownCharacters
// characters, otherwise its beginning and kShortenedEnd, that many characters in all.
std::string ShownInNotice(std::string_view text);

}  // namespace quenmora::link
