#pragma once
// The roster check as the window and quenmora-check run it: the roster box's text against the
// photos of the receive directory.
#include <filesystem>
#include <optional>
#include <string_view>

#include "roster/report.h"

namespace quenmora::roster {

// `rosterText` is code page 936. Nothing when `directory` cannot be listed.
std::optional<RosterReport> CheckRosterPhotos(std::string_view rosterText, const std::filesystem::path& directory);

}  // namespace quenmora::roster
