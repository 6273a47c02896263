#include "link/reception/notice_batch.h"

#include <algorithm>
#include <utility>

#include "link/reception/notices.h"

namespace quenmora::link {

void NoticeBatch::Add(std::string_view kind, std::string_view detail) {
  const auto same = std::ranges::find(entries_, kind, &Entry::kind);
  if (same != entries_.end()) {
    ++same->more;
    return;
  }
  std::string line(kind);
  line.append(detail);
  entries_.push_back({kind, std::move(line)});
}

void NoticeBatch::Flush(const std::function<void(const std::string& line)>& show) {
  std::vector<Entry> entries = std::exchange(entries_, {});
  if (!show) return;
  for (Entry& entry : entries) {
    if (entry.more > 0) {
      entry.line.append(kMoreOfTheKindBefore);
      entry.line.append(std::to_string(entry.more));
      entry.line.append(kMoreOfTheKindAfter);
    }
    show(entry.line);
  }
}

}  // namespace quenmora::link
