// Handling one received chunk of photo data: the raw marker search, decoding its text part,
// classifying it and handing it to the file, which is /dev/null here so the disk does not count;
// and the message parser alone on such a chunk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "link/wire/message_parser.h"
#include "link/server/phone_server.h"
#include "link/reception/photo_receiver.h"

namespace {

using quenmora::link::MessageParser;
using quenmora::link::PhotoReceiver;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Noise standing in for compressed image data; `withZeroBytes` as in real photos, or none, the
// worst case, where the whole chunk is text to decode.
std::vector<std::uint8_t> PhotoChunk(std::size_t size, bool withZeroBytes) {
  std::vector<std::uint8_t> chunk;
  std::mt19937 random(3456);
  std::uniform_int_distribution<int> byte(withZeroBytes ? 0 : 1, 255);
  while (chunk.size() < size) chunk.push_back(static_cast<std::uint8_t>(byte(random)));
  return chunk;
}

// /dev/null, on a disk whose free space is not asked (a container's /dev is small).
struct NullDisk : quenmora::link::FileLayer {
  std::optional<std::uint64_t> FreeBytes(const std::u16string&) override { return std::nullopt; }
};

// The UI thread's part (parsing, handing the bytes on) and the disk thread's write to /dev/null,
// one after the other: the receiver waits for the disk after each chunk.
void HandleDataChunk(benchmark::State& state, bool withZeroBytes) {
  quenmora::link::ReceptionHooks hooks;
  hooks.receiveDirectory = [] { return std::string("/dev"); };
  hooks.files = std::make_shared<NullDisk>();
  PhotoReceiver receiver(hooks, [](quenmora::link::UiTask) {});
  const quenmora::link::Client phone{.id = 1, .address = "phone:1"};
  receiver.HandleChunk(phone, Bytes("STAT||null\xFF"));
  const auto chunk = std::make_shared<const std::vector<std::uint8_t>>(
      PhotoChunk(static_cast<std::size_t>(state.range(0)), withZeroBytes));
  for (auto _ : state) {
    receiver.HandleChunk(phone, *chunk, chunk);
    receiver.Drain();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk->size()));
}

void BM_HandlePhotoChunk(benchmark::State& state) { HandleDataChunk(state, true); }
void BM_HandleChunkWithoutZeroBytes(benchmark::State& state) { HandleDataChunk(state, false); }

BENCHMARK(BM_HandlePhotoChunk)->Arg(64 * 1024)->Arg(quenmora::link::kReceiveBufferSize);
BENCHMARK(BM_HandleChunkWithoutZeroBytes)->Arg(64 * 1024)->Arg(quenmora::link::kReceiveBufferSize);

// Counts the data it is handed, so that the parser's work cannot be optimised away.
struct CountingSink final : quenmora::link::MessageSink {
  std::size_t dataBytes = 0;
  void FileStart(std::span<const std::uint8_t>) override {}
  void Data(std::span<const std::uint8_t> bytes) override { dataBytes += bytes.size(); }
  void End() override {}
};

// A data read after the name's read: no counted marker, so the read is classified as a whole.
void ParseDataRead(benchmark::State& state, bool withZeroBytes) {
  MessageParser parser;
  CountingSink sink;
  parser.Feed(Bytes("STAT||null.jpg\xFF"), sink);
  const std::vector<std::uint8_t> read = PhotoChunk(static_cast<std::size_t>(state.range(0)), withZeroBytes);
  for (auto _ : state) {
    parser.Feed(read, sink);
    benchmark::DoNotOptimize(sink.dataBytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * read.size()));
}

void BM_ParsePhotoRead(benchmark::State& state) { ParseDataRead(state, true); }
void BM_ParseReadWithoutZeroBytes(benchmark::State& state) { ParseDataRead(state, false); }

BENCHMARK(BM_ParsePhotoRead)->Arg(64 * 1024)->Arg(quenmora::link::kReceiveBufferSize);
BENCHMARK(BM_ParseReadWithoutZeroBytes)->Arg(64 * 1024)->Arg(quenmora::link::kReceiveBufferSize);

}  // namespace
