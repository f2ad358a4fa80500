#include "backup/records.h"

#include <algorithm>

namespace kt9 {

namespace {

constexpr uint16_t kLastLegacyVersion = 0x0104;
constexpr uint16_t kLastExtendedVersion = 0x02FF;

constexpr std::string_view kPatchNameCharacters =
    "!()+-./0123456789:<=>@ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

std::optional<RecordLayout> LayoutForVersion(uint16_t version) {
  if (version > kLastExtendedVersion) return std::nullopt;
  return version > kLastLegacyVersion ? RecordLayout::Extended : RecordLayout::Legacy;
}

std::size_t SystemRecordSize(RecordLayout layout) {
  return layout == RecordLayout::Extended ? 1242 : 358;
}

std::size_t PatchRecordSize(RecordLayout layout) {
  return layout == RecordLayout::Extended ? 506 : 502;
}

uint16_t LayoutMarker(RecordLayout layout) {
  return layout == RecordLayout::Extended ? 2000 : 1000;
}

const char* LayoutName(RecordLayout layout) {
  return layout == RecordLayout::Extended ? "extended" : "legacy";
}

Record MakeSystemRecord(RecordLayout layout) { return Record(SystemRecordSize(layout), 0); }

Record MakePatchRecord(RecordLayout layout) { return Record(PatchRecordSize(layout), 0); }

uint8_t ReadU8(std::span<const uint8_t> record, std::size_t offset) {
  return offset < record.size() ? record[offset] : 0;
}

uint16_t ReadU16(std::span<const uint8_t> record, std::size_t offset) {
  return static_cast<uint16_t>(ReadU8(record, offset) | (ReadU8(record, offset + 1) << 8));
}

void WriteU8(std::span<uint8_t> record, std::size_t offset, uint8_t value) {
  if (offset < record.size()) record[offset] = value;
}

void WriteU16(std::span<uint8_t> record, std::size_t offset, uint16_t value) {
  WriteU8(record, offset, static_cast<uint8_t>(value & 0xFF));
  WriteU8(record, offset + 1, static_cast<uint8_t>(value >> 8));
}

std::span<const uint8_t> SubRecord(std::span<const uint8_t> record, std::size_t offset, std::size_t size) {
  if (offset >= record.size()) return {};
  return record.subspan(offset, std::min(size, record.size() - offset));
}

std::span<uint8_t> SubRecord(std::span<uint8_t> record, std::size_t offset, std::size_t size) {
  if (offset >= record.size()) return {};
  return record.subspan(offset, std::min(size, record.size() - offset));
}

std::string_view ReadText(std::span<const uint8_t> record, std::size_t offset, std::size_t size) {
  const auto field = SubRecord(record, offset, size);
  const auto end = std::find(field.begin(), field.end(), uint8_t{0});
  return {reinterpret_cast<const char*>(field.data()), static_cast<std::size_t>(end - field.begin())};
}

void WriteText(std::span<uint8_t> record, std::size_t offset, std::size_t size, std::string_view text) {
  const auto field = SubRecord(record, offset, size);
  std::fill(field.begin(), field.end(), uint8_t{0});
  const std::size_t count = std::min(text.size(), field.size());
  std::copy_n(reinterpret_cast<const uint8_t*>(text.data()), count, field.begin());
}

void SanitizePatchName(Record& patch) {
  const auto name = SubRecord(std::span<uint8_t>(patch), kPatchNameOffset, kPatchNameSize);
  for (uint8_t& byte : name) {
    if (byte != 0 && kPatchNameCharacters.find(static_cast<char>(byte)) == std::string_view::npos) byte = ' ';
  }
  if (!name.empty() && name.size() == kPatchNameSize) name.back() = 0;
}

}  // namespace kt9
