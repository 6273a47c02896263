#include "link/wire/whole_read.h"

#include <algorithm>

#include "link/wire/boundary_match.h"
#include "link/wire/byte_search.h"
#include "link/wire/wire_format.h"
#include "text/percent_decode.h"

namespace quenmora::link {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// A large read is gone through a block at a time: a block and its decoding stay in the first-level
// cache while the block is searched, decoded and searched again. A block ends where no escape is
// cut: not one or two bytes after a "%".
std::size_t BlockEnd(std::string_view bytes, std::size_t from) {
  constexpr std::size_t kBlock = 8 * 1024;
  std::size_t to = std::min(bytes.size(), from + kBlock);
  while (to < bytes.size() && (bytes[to - 1] == '%' || bytes[to - 2] == '%')) ++to;
  return to;
}

// What the text part of some bytes holds once percent-decoded, given a block at a time. Of each
// block's text only its last decoded bytes are kept, in `carried`, for a marker that goes on in the
// next block.
class TextPartScan {
 public:
  explicit TextPartScan(std::string& carried) : carried_(carried) { carried_.clear(); }

  // A block without a zero byte, "%" or "|": only its last bytes matter, for a marker that ends in
  // the next block.
  void AddPlain(std::string_view block) {
    if (Decided()) return;
    carried_.append(block.substr(block.size() - std::min(block.size(), kCarried)));
    carried_.erase(0, carried_.size() - std::min(carried_.size(), kCarried));
  }

  void Add(std::string_view block) {
    if (Decided()) return;
    const std::size_t textEnd = block.find('\0');
    ended_ = textEnd != kNotFound;
    const std::string_view text = block.substr(0, textEnd);
    carried_.erase(0, carried_.size() - std::min(carried_.size(), kCarried));
    if (text.find('%') == kNotFound) {
      // A text without escapes is its own decoding: it is looked at where it is, and only the
      // bytes a marker may cross into it from the last block are copied.
      carried_.append(text.substr(0, kCarried));
      Note(carried_);
      Note(text);
      if (text.size() >= kCarried) carried_.assign(text.substr(text.size() - kCarried));
      return;
    }
    text::AppendPercentDecoded(text, carried_);
    Note(carried_);
  }
  // Nothing more can change the kind.
  bool Decided() const { return ended_ || holdsFileStart_; }
  WholeRead::Kind Kind() const {
    return holdsFileStart_ ? WholeRead::Kind::kFileStart
           : holdsEnd_     ? WholeRead::Kind::kEnd
                           : WholeRead::Kind::kData;
  }

 private:
  static constexpr std::size_t kCarried = kFileStartMarker.size() - 1;
  static_assert(kFileStartMarker.ends_with("||") && kEndMarker.ends_with("||"));

  // Both markers end in "|": only where one is can a marker end, so the text is gone through a
  // "|" at a time rather than once for each marker.
  void Note(std::string_view decoded) {
    for (std::size_t bar = decoded.find('|'); bar != kNotFound; bar = decoded.find('|', bar + 1)) {
      const std::string_view upToBar = decoded.substr(0, bar + 1);
      holdsFileStart_ = holdsFileStart_ || upToBar.ends_with(kFileStartMarker);
      holdsEnd_ = holdsEnd_ || upToBar.ends_with(kEndMarker);
    }
  }

  std::string& carried_;
  bool ended_ = false, holdsFileStart_ = false, holdsEnd_ = false;
};

}  // namespace

WholeRead ClassifyWholeRead(std::string_view read, std::string& work) {
  // The read's last bytes that may begin "END||STAT||" are left out: if the rest is data they
  // wait for the next read, which may complete the boundary.
  const std::string_view body = read.substr(0, read.size() - BoundaryBeginningAtEnd(read));
  TextPartScan bodyText(work);
  for (std::size_t from = 0, to = 0; from < read.size(); from = to) {
    to = BlockEnd(read, from);
    // With the bytes an "END||" that begins in the block may reach into the next.
    if (!HoldsZeroPercentOrBar(read.substr(from, to - from + kEndMarker.size() - 1))) {
      if (from < body.size()) bodyText.AddPlain(body.substr(from, to - from));
      continue;
    }
    if (FindCountedEnd(read, from, to) != kNotFound) return {WholeRead::Kind::kNotWhole};
    if (from < body.size()) bodyText.Add(body.substr(from, to - from));
  }
  if (bodyText.Kind() == WholeRead::Kind::kData) return {WholeRead::Kind::kData, body.size()};
  // Not data: the whole read is one message, its last bytes included. What made the body a
  // message is in the whole read's text too.
  TextPartScan readText(work);
  for (std::size_t from = 0, to = 0; from < read.size() && !readText.Decided(); from = to) {
    to = BlockEnd(read, from);
    readText.Add(read.substr(from, to - from));
  }
  return {readText.Kind() == WholeRead::Kind::kFileStart ? WholeRead::Kind::kFileStart : WholeRead::Kind::kEnd};
}

}  // namespace quenmora::link
