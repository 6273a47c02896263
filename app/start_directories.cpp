#include "app/start_directories.h"

namespace quenmora::app {

StartDirectories HomeStartDirectories(std::string_view home,
                                      std::optional<std::string_view> pictures) {
  return {.receiveDirectory = std::string(pictures.value_or(home)),
          .picker = {.directory = std::string(home), .drive = std::string(home)}};
}

}  // namespace quenmora::app
