#include "link/whole_read.h"

#include <algorithm>

#include "link/boundary_match.h"
#include "link/wire_format.h"
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
// block's decoding only its last bytes are kept, in `decoded`, for a marker that goes on in the
// next block.
class TextPartScan {
 public:
  explicit TextPartScan(std::string& decoded) : decoded_(decoded) { decoded_.clear(); }

  void Add(std::string_view block) {
    if (Decided()) return;
    const std::size_t textEnd = block.find('\0');
    ended_ = textEnd != kNotFound;
    decoded_.erase(0, decoded_.size() - std::min(decoded_.size(), kFileStartMarker.size() - 1));
    text::AppendPercentDecoded(block.substr(0, textEnd), decoded_);
    holdsFileStart_ = decoded_.find(kFileStartMarker) != kNotFound;
    holdsEnd_ = holdsEnd_ || decoded_.find(kEndMarker) != kNotFound;
  }
  // Nothing more can change the kind.
  bool Decided() const { return ended_ || holdsFileStart_; }
  WholeRead::Kind Kind() const {
    return holdsFileStart_ ? WholeRead::Kind::kFileStart
           : holdsEnd_     ? WholeRead::Kind::kEnd
                           : WholeRead::Kind::kData;
  }

 private:
  std::string& decoded_;
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
