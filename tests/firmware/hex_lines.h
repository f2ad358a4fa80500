// Intel HEX records for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/hex_record.h"

namespace kt9::test {

inline std::string HexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
  return FormatHexRecord(type, address, data);
}
inline std::string DataRecord(uint16_t address, const std::vector<uint8_t>& data) {
  return FormatHexRecord(kHexData, address, data);
}
inline std::string UpperAddress(uint16_t upper) {
  return HexRecord(kHexExtendedLinearAddress, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)});
}
inline const std::string kEndOfFile = ":00000001FF";

}  // namespace kt9::test
