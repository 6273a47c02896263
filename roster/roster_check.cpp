#include "roster/roster_check.h"

namespace quenmora::roster {

std::optional<RosterReport> CheckRosterPhotos(std::string_view rosterText, const std::filesystem::path& directory) {
  const Roster roster = ParseRoster(rosterText);
  const std::optional<DirectoryScan> scan = ScanReceiveDirectory(directory, StudentIndex(roster.students));
  if (!scan) return std::nullopt;
  return BuildReport(roster, FindIdNumberFaults(roster.students), *scan);
}

}  // namespace quenmora::roster
