#include "firmware/hex_record.h"

namespace kt9 {

namespace {

std::optional<uint8_t> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

std::optional<uint8_t> HexByte(const std::string& line, std::size_t at) {
  const auto hi = HexDigit(line[at]);
  const auto lo = HexDigit(line[at + 1]);
  if (!hi || !lo) return std::nullopt;
  return static_cast<uint8_t>(*hi << 4 | *lo);
}

void AppendHexByte(std::string& out, uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

std::optional<HexRecord> ParseHexRecord(const std::string& line) {
  if (line.size() < 3 || line[0] != ':') return std::nullopt;
  const auto count = HexByte(line, 1);
  if (!count || line.size() != kHexRecordOverhead + 2 * std::size_t{*count}) return std::nullopt;
  std::array<uint8_t, 4 + 255 + 1> bytes{};
  const std::size_t byteCount = (line.size() - 1) / 2;
  for (std::size_t i = 0; i < byteCount; ++i) {
    const auto byte = HexByte(line, 1 + 2 * i);
    if (!byte) return std::nullopt;
    bytes[i] = *byte;
  }
  HexRecord record;
  record.count = bytes[0];
  record.address = static_cast<uint16_t>(bytes[1] << 8 | bytes[2]);
  record.type = bytes[3];
  for (std::size_t i = 0; i < record.count; ++i) record.data[i] = bytes[4 + i];
  record.checksum = bytes[4 + record.count];
  return record;
}

uint8_t ComputeHexChecksum(const HexRecord& record) {
  uint8_t sum = static_cast<uint8_t>(record.count + (record.address >> 8) + (record.address & 0xFF) + record.type);
  for (std::size_t i = 0; i < record.count; ++i) sum = static_cast<uint8_t>(sum + record.data[i]);
  return static_cast<uint8_t>(-sum);
}

std::string FormatHexRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data) {
  HexRecord record;
  record.count = static_cast<uint8_t>(data.size() < 255 ? data.size() : 255);
  record.address = address;
  record.type = type;
  for (std::size_t i = 0; i < record.count; ++i) record.data[i] = data[i];
  std::string line = ":";
  line.reserve(kHexRecordOverhead + 2 * std::size_t{record.count});
  AppendHexByte(line, record.count);
  AppendHexByte(line, static_cast<uint8_t>(address >> 8));
  AppendHexByte(line, static_cast<uint8_t>(address));
  AppendHexByte(line, type);
  for (std::size_t i = 0; i < record.count; ++i) AppendHexByte(line, record.data[i]);
  AppendHexByte(line, ComputeHexChecksum(record));
  return line;
}

}  // namespace kt9
