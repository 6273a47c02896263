#pragma once
// The notices that handling one read gives, each kind shown once: a read made of thousands of
// refused names becomes one line the window can show at once, not thousands.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::link {

class NoticeBatch {
 public:
  // A notice of the kind `kind` (one of the texts of notices.h), with what it is about after it.
  void Add(std::string_view kind, std::string_view detail = {});
  // Hands on each kind's first notice, in the order the kinds came, followed by "（另有N个）" when N
  // more of that kind came; then starts anew.
  void Flush(const std::function<void(const std::string& line)>& show);

 private:
  struct Entry {
    std::string_view kind;
    std::string line;
    std::size_t more = 0;
  };
  std::vector<Entry> entries_;
};

}  // namespace quenmora::link
