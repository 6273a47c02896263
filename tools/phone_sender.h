#pragma once
// Sends files the way the phone app does: "STAT||" and the percent-encoded UTF-8 name, the
// file's bytes, then "END||", with a pause between messages.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <asio/ip/tcp.hpp>

namespace quenmora::tools {

struct SendOptions {
  std::size_t chunkSize = 8192;  // bytes per write of file data
  std::chrono::milliseconds pause{100};
  // Sent after "STAT||" as it stands, instead of each file's encoded name.
  std::optional<std::string> rawName;
};

// Keeps A-Z a-z 0-9 - . _ ~ and writes every other byte as "%XX" (upper-case hex).
std::string PercentEncode(std::string_view bytes);

// The name the phone would send for `utf8Path`: its last component, percent-encoded.
std::string EncodedFileName(std::string_view utf8Path);

// Throws ToolError if a file cannot be read or a write fails.
void SendFiles(asio::ip::tcp::socket& socket, const std::vector<std::string>& utf8Paths,
               const SendOptions& options);

}  // namespace quenmora::tools
