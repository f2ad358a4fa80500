// Builds Intel HEX records for tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kt9::test {

inline std::string HexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
  char buffer[16];
  uint8_t sum = static_cast<uint8_t>(data.size() + (address >> 8) + (address & 0xFF) + type);
  std::snprintf(buffer, sizeof buffer, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                static_cast<unsigned>(type));
  std::string line = buffer;
  for (uint8_t byte : data) {
    std::snprintf(buffer, sizeof buffer, "%02X", byte);
    line += buffer;
    sum = static_cast<uint8_t>(sum + byte);
  }
  std::snprintf(buffer, sizeof buffer, "%02X", static_cast<uint8_t>(-sum));
  return line + buffer;
}

inline std::string DataRecord(uint16_t address, const std::vector<uint8_t>& data) {
  return HexRecord(0x00, address, data);
}
inline std::string UpperAddress(uint16_t upper) {
  return HexRecord(0x04, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)});
}
inline const std::string kEndOfFile = ":00000001FF";

}  // namespace kt9::test
