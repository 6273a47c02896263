#include "roster/roster.h"

#include "roster/gbk_characters.h"
#include "roster/texts.h"

namespace quenmora::roster {
namespace {

// The length of the space (ASCII or ideographic) at `at`, a character's start, or 0 when none is.
std::size_t SpaceLength(std::string_view text, std::size_t at) {
  if (text[at] == ' ') return 1;
  return text.substr(at).starts_with(kIdeographicSpace.bytes) ? kIdeographicSpace.bytes.size() : 0;
}

std::string_view Trimmed(std::string_view field) {
  std::size_t begin = 0;
  while (begin < field.size() && SpaceLength(field, begin) > 0) begin += SpaceLength(field, begin);
  std::size_t end = begin;  // the end of the last character that is no space
  for (std::size_t at = begin; at < field.size();) {
    const std::size_t length = GbkCharacterLength(field, at);
    at += length;
    if (SpaceLength(field, at - length) == 0) end = at;
  }
  return field.substr(begin, end - begin);
}

// Only spaces and tabs, or nothing: an empty row of a spreadsheet copy among them.
bool IsBlank(std::string_view line) {
  for (std::size_t at = 0; at < line.size();) {
    if (line[at] == '\t') {
      ++at;
    } else if (const std::size_t space = SpaceLength(line, at); space > 0) {
      at += space;
    } else {
      return false;
    }
  }
  return true;
}

std::vector<std::string_view> CellsBetweenTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t begin = 0;;) {
    const std::size_t tab = line.find('\t', begin);
    fields.push_back(Trimmed(line.substr(begin, tab - begin)));
    if (tab == std::string_view::npos) break;
    begin = tab + 1;
  }
  while (fields.size() > 4 && fields.back().empty()) fields.pop_back();
  return fields;
}

std::vector<std::string_view> WordsBetweenSpaces(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t begin = 0;
  for (std::size_t at = 0; at < line.size();) {
    if (const std::size_t space = SpaceLength(line, at); space > 0) {
      if (at > begin) fields.push_back(line.substr(begin, at - begin));
      at += space;
      begin = at;
    } else {
      at += GbkCharacterLength(line, at);
    }
  }
  if (begin < line.size()) fields.push_back(line.substr(begin));
  return fields;
}

bool EndsWithCharacters(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  const std::size_t from = text.size() - suffix.size();
  std::size_t at = 0;
  while (at < from) at += GbkCharacterLength(text, at);
  return at == from && text.substr(from) == suffix;
}

bool IsHeadingRow(const std::vector<std::string_view>& fields) {
  return EndsWithCharacters(fields[1], kNameHeading) && fields[2].starts_with(kIdNumberHeading.bytes);
}

}  // namespace

Roster ParseRoster(std::string_view text) {
  Roster roster;
  int lineNumber = 0;
  for (std::size_t begin = 0; begin <= text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsBlank(line)) continue;
    const bool tabbed = line.find('\t') != std::string_view::npos;
    const std::vector<std::string_view> fields = tabbed ? CellsBetweenTabs(line) : WordsBetweenSpaces(line);
    const bool understood = fields.size() == 4 && !fields[0].empty() && !fields[1].empty() && !fields[3].empty();
    if (understood && IsHeadingRow(fields)) continue;
    if (!understood) {
      roster.unread.push_back({lineNumber, std::string(line)});
      continue;
    }
    roster.students.push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                               std::string(fields[3]), lineNumber});
  }
  return roster;
}

}  // namespace quenmora::roster
