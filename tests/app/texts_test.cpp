// The texts are code-page-936 bytes with their readable UTF-8 form beside them; the two must say
// the same, and no text may be missing from its header's list.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/texts.h"
#include "link/reception/notices.h"
#include "roster/texts.h"
#include "text/codepage.h"

namespace quenmora {
namespace {

struct TextHeader {
  const char* name;
  std::span<const text::GbkText> listed;
  std::size_t declared;  // counted in the header's source by the build
};

const TextHeader kTextHeaders[] = {
    {"app/texts.h", app::kGbkTexts, QUENMORA_TEXTS_DECLARED_IN_app_texts_h},
    {"link/reception/notices.h", link::kGbkTexts, QUENMORA_TEXTS_DECLARED_IN_link_reception_notices_h},
    {"roster/texts.h", roster::kGbkTexts, QUENMORA_TEXTS_DECLARED_IN_roster_texts_h},
};

std::string Utf8(std::u8string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size()};
}

TEST(Texts, EachHeaderListsEveryTextItDeclares) {
  for (const TextHeader& header : kTextHeaders)
    EXPECT_EQ(header.listed.size(), header.declared) << header.name;
}

TEST(Texts, EachTextsBytesReadBackAsItsReadableForm) {
  for (const TextHeader& header : kTextHeaders) {
    for (const text::GbkText& listed : header.listed) {
      EXPECT_FALSE(listed.bytes.empty()) << header.name;
      EXPECT_EQ(text::AnsiToUtf8(listed), Utf8(listed.readable)) << header.name;
    }
  }
}

TEST(Texts, ListenFailureNoticeNamesThePortItWasAskedFor) {
  const struct {
    std::uint16_t port;
    std::u8string_view expected;
  } cases[] = {
      {3456, u8"无法监听端口3456，手机将无法连接（可能已有一个本程序在运行）"},
      {80, u8"无法监听端口80，手机将无法连接（可能已有一个本程序在运行）"},
      {65535, u8"无法监听端口65535，手机将无法连接（可能已有一个本程序在运行）"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(text::AnsiToUtf8(link::ListenFailedNotice(c.port)), Utf8(c.expected)) << c.port;
}

}  // namespace
}  // namespace quenmora
