// Synthetic firmware for the pedal's chip, written as an Intel HEX file the
// way the chip maker's tool chain lays one out: the vector area at the bottom
// of program memory, the main program from image byte index 0x3000, type-04
// records at every 64 KiB boundary, the four configuration words, and the
// end-of-file record. The content is a deterministic pattern; it is not a
// program. Real firmware files are never needed by the tests or the demo.
#pragma once

#include <cstdint>
#include <ostream>

namespace kt9::sim {

struct TestFirmwareOptions {
  uint32_t vectorBytes = 0x400;  // image bytes from index 0 (0: no vector area)
  uint32_t mainBytes = 0x4000;   // image bytes from index 0x3000 (0: no main program)
  bool configWords = true;
  uint8_t recordBytes = 16;      // data bytes per record
  uint32_t seed = 1;             // varies the pattern
};

inline constexpr uint32_t kMainStart = 0x3000;
inline constexpr uint32_t kCodeEnd = 0x553F0;  // image byte index where code memory ends

// The largest main program that fits below the end of code memory.
inline constexpr uint32_t kMaximalMainBytes = kCodeEnd - kMainStart;

// The image byte at `index` of the pattern: every fourth byte, the one the
// chip does not store, is 0x00.
uint8_t TestFirmwareByte(uint32_t index, uint32_t seed);

// The configuration words CW4, CW3, CW2, CW1 the file carries.
inline constexpr uint16_t kTestConfigWords[4] = {0xFFCF, 0xFFFF, 0xF9A7, 0x3F7F};

void WriteTestFirmware(const TestFirmwareOptions& options, std::ostream& out);

}  // namespace kt9::sim
