// Decoding a received 64 KiB chunk of photo data: the receiver does this for every chunk, so it
// must keep up with the network.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "text/percent_decode.h"

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

// A JPEG header, then deterministic noise standing in for compressed image data. Without zero
// bytes the whole chunk is text to decode, the worst case; with them, decoding ends at the first
// one, as it does for real photo data.
std::string JpegLikeChunk(bool withZeroBytes) {
  std::string chunk = "\xFF\xD8\xFF\xE0";
  std::mt19937 random(3456);
  std::uniform_int_distribution<int> byte(withZeroBytes ? 0 : 1, 255);
  while (chunk.size() < kChunkSize) chunk += static_cast<char>(byte(random));
  return chunk;
}

void Decode(benchmark::State& state, bool withZeroBytes) {
  const std::string chunk = JpegLikeChunk(withZeroBytes);
  for (auto _ : state) {
    std::string decoded = quenmora::text::PercentDecode(chunk, true);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
}

void BM_PercentDecodeChunkWithoutZeroBytes(benchmark::State& state) { Decode(state, false); }
void BM_PercentDecodePhotoChunk(benchmark::State& state) { Decode(state, true); }

BENCHMARK(BM_PercentDecodeChunkWithoutZeroBytes);
BENCHMARK(BM_PercentDecodePhotoChunk);

}  // namespace
