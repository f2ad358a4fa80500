#include "sim/pedal_memory.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace kt9::sim {
namespace {

constexpr uint16_t kVersionWordAddress = 0xFF00;
constexpr uint16_t kSystemRecordAddress = 0x0A00;
constexpr uint16_t kFirstPatchSlot = 0x1200;
constexpr uint16_t kPatchSlotSize = 0x200;
constexpr int kPatchSlots = 99;
constexpr std::size_t kPatchNameOffset = 2;
constexpr std::size_t kPatchNameSize = 17;
constexpr uint16_t kLastLegacyVersion = 0x0104;

void PutWord(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

PedalMemory PedalMemory::Factory(uint16_t versionWord) {
  PedalMemory memory;
  auto& bytes = memory.bytes_;
  for (std::size_t a = 0; a < kSize; ++a) {
    // A multiplicative hash of the address: no two neighbours, no two slots
    // alike.
    bytes[a] = static_cast<uint8_t>((static_cast<uint32_t>(a) * 2654435761u) >> 24);
  }
  const uint16_t layoutMark = versionWord <= kLastLegacyVersion ? 1000 : 2000;
  PutWord(bytes, kVersionWordAddress, versionWord);
  PutWord(bytes, kSystemRecordAddress, layoutMark);  // sysconfig_id
  for (int k = 0; k < kPatchSlots; ++k) {
    const std::size_t slot = kFirstPatchSlot + static_cast<std::size_t>(k) * kPatchSlotSize;
    PutWord(bytes, slot, layoutMark);  // patch_id
    char name[kPatchNameSize + 1] = {};
    std::snprintf(name, sizeof name, "Patch %02d", k + 1);
    for (std::size_t i = 0; i < kPatchNameSize; ++i) bytes[slot + kPatchNameOffset + i] = static_cast<uint8_t>(name[i]);
  }
  return memory;
}

bool PedalMemory::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return access(path.c_str(), F_OK) != 0;  // a missing file is a fresh pedal
  const std::vector<uint8_t> content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return false;
  std::copy_n(content.begin(), std::min(content.size(), kSize), bytes_.begin());
  return true;
}

bool PedalMemory::Save(const std::string& path) const {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::vector<uint8_t> PedalMemory::Read(uint16_t address, std::size_t count) const {
  std::vector<uint8_t> out(count);
  for (std::size_t i = 0; i < count; ++i) out[i] = bytes_[(address + i) % kSize];
  return out;
}

void PedalMemory::Write(uint16_t address, std::span<const uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes_[(address + i) % kSize] = bytes[i];
}

}  // namespace kt9::sim
