#include "app/start_directories.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quenmora::app {
namespace {

TEST(XdgUserDirectory, ReadsTheKeysQuotedValueUnderHomeOrAbsolute) {
  const struct {
    std::string file;
    std::optional<std::string> expected;
  } cases[] = {
      {"XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", "/home/li/Pictures"},
      {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "  XDG_PICTURES_DIR=\"$HOME/Bilder/\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"",
       "/home/li/Bilder"},
      {"XDG_PICTURES_DIR=\"/data/photos/\"", "/data/photos"},
      {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/li"},
      {"XDG_PICTURES_DIR=\"$HOME/\xe7\x85\xa7\xe7\x89\x87\"\n", "/home/li/\xe7\x85\xa7\xe7\x89\x87"},
      {"XDG_PICTURES_DIRS=\"$HOME/Other\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", std::nullopt},
      {"XDG_PICTURES_DIR=\"Pictures\"\n", std::nullopt},
      {"XDG_PICTURES_DIR=\"$HOMEPAGE/Pictures\"\n", std::nullopt},
      {"XDG_PICTURES_DIR=\"$HOME/Pictures\n", std::nullopt},
      {"#XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XdgUserDirectory(c.file, "XDG_PICTURES_DIR", "/home/li"), c.expected) << c.file;
}

TEST(HomeStartDirectories, PhotosGoToPicturesElseHomeAndThePickerStartsAtHome) {
  for (const std::optional<std::string_view> pictures :
       {std::optional<std::string_view>("/home/li/Pictures"), std::optional<std::string_view>()}) {
    const StartDirectories start = HomeStartDirectories("/home/li", pictures);
    EXPECT_EQ(start.receiveDirectory, pictures.value_or("/home/li"));
    EXPECT_EQ(start.picker.directory, "/home/li");
    EXPECT_EQ(start.picker.drive, "/home/li");
  }
}

}  // namespace
}  // namespace quenmora::app
