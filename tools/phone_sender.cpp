#include "tools/phone_sender.h"

#include <fstream>
#include <thread>

#include <asio/write.hpp>

#include "link/wire/wire_format.h"
#include "tools/phone_endpoint.h"
#include "tools/utf8_path.h"

namespace quenmora::tools {

namespace {

bool IsUnreserved(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

// Writes the messages in order and sleeps between two of them.
class MessageWriter {
 public:
  MessageWriter(asio::ip::tcp::socket& socket, std::chrono::milliseconds pause)
      : socket_(socket), pause_(pause) {}

  void BeginMessage() {
    if (anySent_ && pause_.count() > 0) std::this_thread::sleep_for(pause_);
    anySent_ = true;
  }

  void Write(std::string_view bytes) {
    asio::error_code error;
    asio::write(socket_, asio::buffer(bytes.data(), bytes.size()), error);
    if (error) throw ToolError("sending failed: " + error.message());
  }

 private:
  asio::ip::tcp::socket& socket_;
  std::chrono::milliseconds pause_;
  bool anySent_ = false;
};

void SendFile(MessageWriter& writer, const std::string& utf8Path, const SendOptions& options,
              std::vector<char>& buffer) {
  std::ifstream file(Utf8Path(utf8Path), std::ios::binary);
  if (!file) throw ToolError("cannot read " + utf8Path);

  writer.BeginMessage();
  writer.Write(std::string(link::kFileStartMarker) +
               options.rawName.value_or(EncodedFileName(utf8Path)));

  bool dataBegun = false;
  while (file) {
    file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    auto count = static_cast<std::size_t>(file.gcount());
    if (count == 0) break;
    if (!dataBegun) writer.BeginMessage();
    dataBegun = true;
    writer.Write(std::string_view(buffer.data(), count));
  }
  if (file.bad()) throw ToolError("reading " + utf8Path + " failed");

  writer.BeginMessage();
  writer.Write(link::kEndMarker);
}

}  // namespace

std::string PercentEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string EncodedFileName(std::string_view utf8Path) {
  return PercentEncode(Utf8Text(Utf8Path(utf8Path).filename()));
}

void SendFiles(asio::ip::tcp::socket& socket, const std::vector<std::string>& utf8Paths,
               const SendOptions& options) {
  MessageWriter writer(socket, options.pause);
  std::vector<char> buffer(options.chunkSize);
  for (const std::string& path : utf8Paths) SendFile(writer, path, options, buffer);
}

}  // namespace quenmora::tools
