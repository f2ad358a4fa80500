// Loading the largest firmware file the pedal's chip can take (code from 0
// up to the end of code memory, about 0.9 MB of HEX text) and building the
// bootloader's block requests. The update itself is bound by the line (each
// exchange waits for the pedal's 100 ms of silence); these must stay far
// below that: a load under 50 ms, a block request under 50 µs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>

#include "firmware/bootloader.h"
#include "firmware/hex_reader.h"
#include "firmware/hex_record.h"
#include "tests/support/silent_ui.h"

namespace {

using kt9::test::SilentUi;

// 16-byte data records with an upper-address record at each 64 KiB step.
std::string MaximalHexFile() {
  const std::string path = "/tmp/kt9-firmware-bench.hex";
  std::ofstream out(path, std::ios::binary);
  for (uint32_t at = 0; at < 0x553F0; at += 16) {
    if (at % 0x10000 == 0) {
      const uint8_t upper[2] = {static_cast<uint8_t>(at >> 24), static_cast<uint8_t>(at >> 16)};
      out << kt9::FormatHexRecord(kt9::kHexExtendedLinearAddress, 0, upper) << "\r\n";
    }
    uint8_t data[16];
    for (uint32_t i = 0; i < 16; ++i) data[i] = (at + i) % 4 == 3 ? 0 : static_cast<uint8_t>((at + i) * 13);
    out << kt9::FormatHexRecord(kt9::kHexData, static_cast<uint16_t>(at), data) << "\r\n";
  }
  out << ":00000001FF\r\n";
  return path;
}

void BM_LoadMaximalHexFile(benchmark::State& state) {
  const std::string path = MaximalHexFile();
  kt9::TargetDevice target;
  kt9::BuildTargetDevice(target);
  SilentUi ui;
  for (auto _ : state) {
    kt9::FirmwareImage image;
    if (!kt9::LoadHexFile(image, path, target, ui) || image.CodeLength() != 0x553F0) {
      state.SkipWithError("the file did not load whole");
      break;
    }
    benchmark::DoNotOptimize(image.codeBytes.data());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadMaximalHexFile)->Unit(benchmark::kMillisecond);

void BM_BuildWriteBlockRequest(benchmark::State& state) {
  kt9::FlashBlock block{};
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
  for (auto _ : state) {
    std::vector<uint8_t> parameters;
    parameters.reserve(kt9::kWriteRequestLength);
    kt9::AppendByteNibbles(parameters, 0x01);
    kt9::AppendAddressNibbles(parameters, 0x1880);
    for (uint8_t byte : block) kt9::AppendByteNibbles(parameters, byte);
    const std::vector<uint8_t> frame = kt9::BuildBootFrame(kt9::kBootRequestMark, kt9::BL_WRITE_BLOCK, parameters);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_BuildWriteBlockRequest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
