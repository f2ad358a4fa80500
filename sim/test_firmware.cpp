#include "sim/test_firmware.h"

#include "firmware/hex_record.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kt9::sim {

namespace {

constexpr uint32_t kConfigFileAddress = 2 * 0x2ABF8;

class HexWriter {
 public:
  explicit HexWriter(std::ostream& out) : out_(out) {}

  // Splits the run into records that never cross a 64 KiB boundary and
  // announces each new upper address with a type-04 record.
  void Data(uint32_t address, const std::vector<uint8_t>& bytes, uint8_t perRecord) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const uint32_t at = address + static_cast<uint32_t>(done);
      if (!upper_ || *upper_ != at >> 16) {
        upper_ = at >> 16;
        Record(0x04, 0, {static_cast<uint8_t>(*upper_ >> 8), static_cast<uint8_t>(*upper_)});
      }
      const std::size_t toBoundary = 0x10000 - (at & 0xFFFF);
      const std::size_t count = std::min({std::size_t{perRecord}, bytes.size() - done, toBoundary});
      Record(0x00, static_cast<uint16_t>(at), std::vector<uint8_t>(bytes.begin() + done, bytes.begin() + done + count));
      done += count;
    }
  }

  void End() { Record(0x01, 0, {}); }

 private:
  void Record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
    out_ << FormatHexRecord(type, address, data) << "\r\n";
  }

  std::ostream& out_;
  std::optional<uint32_t> upper_;
};

std::vector<uint8_t> Pattern(uint32_t start, uint32_t length, uint32_t seed) {
  std::vector<uint8_t> bytes(length);
  for (uint32_t i = 0; i < length; ++i) bytes[i] = TestFirmwareByte(start + i, seed);
  return bytes;
}

}  // namespace

uint8_t TestFirmwareByte(uint32_t index, uint32_t seed) {
  if (index % 4 == 3) return 0x00;
  uint32_t x = index * 2654435761u ^ seed * 40503u;
  x ^= x >> 13;
  x *= 0x5BD1E995u;
  x ^= x >> 15;
  return static_cast<uint8_t>(x);
}

void WriteTestFirmware(const TestFirmwareOptions& options, std::ostream& out) {
  HexWriter writer(out);
  const uint8_t perRecord = std::max<uint8_t>(options.recordBytes, 1);
  if (options.vectorBytes > 0) {
    const uint32_t length = std::min(options.vectorBytes, kMainStart);
    writer.Data(0, Pattern(0, length, options.seed), perRecord);
  }
  if (options.mainBytes > 0) {
    const uint32_t length = std::min(options.mainBytes, kMaximalMainBytes);
    writer.Data(kMainStart, Pattern(kMainStart, length, options.seed), perRecord);
  }
  if (options.configWords) {
    for (int k = 0; k < 4; ++k) {
      const uint16_t word = kTestConfigWords[k];
      writer.Data(kConfigFileAddress + 4 * k, {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), 0, 0},
                  perRecord);
    }
  }
  writer.End();
}

}  // namespace kt9::sim
