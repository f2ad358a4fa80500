// One line of an Intel HEX file: ':' then, in hexadecimal digits, the byte
// count n, the 16-bit address (high byte first), the type, n data bytes and
// the checksum, the two's complement of the low byte of the sum of all the
// bytes before it. Nothing may follow the checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kt9 {

inline constexpr uint8_t kHexData = 0x00;
inline constexpr uint8_t kHexEndOfFile = 0x01;
inline constexpr uint8_t kHexExtendedLinearAddress = 0x04;

// ':' count(2) address(4) type(2) checksum(2), then two digits per data byte.
inline constexpr std::size_t kHexRecordOverhead = 11;
inline constexpr std::size_t kLongestHexLine = kHexRecordOverhead + 2 * 255;

struct HexRecord {
  uint8_t count = 0;
  uint16_t address = 0;
  uint8_t type = 0;
  std::array<uint8_t, 255> data{};
  uint8_t checksum = 0;  // as the line gives it
};

// The record of a line, or nothing when the line is not a record of exactly
// its stated length made of hexadecimal digits (either case). The checksum
// is not judged here.
std::optional<HexRecord> ParseHexRecord(const std::string& line);

// The checksum the record's bytes call for.
uint8_t ComputeHexChecksum(const HexRecord& record);

// A line (without line end) holding up to 255 bytes, in upper-case digits.
std::string FormatHexRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data);

}  // namespace kt9
