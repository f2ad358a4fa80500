// A firmware file loaded into memory images shaped by the target: the code
// image with a mark for every byte the file supplied, the data (EEPROM) image,
// the configuration image and the configuration mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kt9 {

struct FirmwareImage {
  std::string fileName;  // path given to the last LoadHexFile

  // Indexed by image byte index (twice the program-counter address, four
  // bytes per instruction word). Runs up to the highest index a code record
  // wrote, not up to the code memory's size; bytes no record wrote are 0xFF
  // with codeUsed false.
  std::vector<uint8_t> codeBytes;
  std::vector<bool> codeUsed;

  std::vector<uint8_t> dataBytes;    // unwritten entries are 0xFF
  std::vector<uint8_t> configBytes;  // exactly configSize entries after a load
  std::vector<uint32_t> configMask;  // implemented bits of each configuration entry

  std::size_t CodeLength() const { return codeBytes.size(); }
};

}  // namespace kt9
