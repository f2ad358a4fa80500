// A simulated pedal's whole memory as kt9-sim keeps it in its memory file
// (offset = address), with the records of either layout at their places.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "backup/records.h"

namespace kt9::test {

struct PedalImage {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(0x10000, 0);

  // Every byte random, the version word at 0xFF00 and the layout marker in
  // sysconfig_id and every patch_id, as a pedal of that firmware holds them.
  // Name bytes stay random: the backup must clean them.
  static PedalImage Random(uint16_t version, uint32_t seed) {
    PedalImage image;
    std::mt19937 random(seed);
    for (uint8_t& byte : image.bytes) byte = static_cast<uint8_t>(random());
    const RecordLayout layout = LayoutForVersion(version).value_or(RecordLayout::Extended);
    WriteU16(image.bytes, kVersionAddress, version);
    WriteU16(image.bytes, kSystemAddress, LayoutMarker(layout));
    for (int slot = 0; slot < kPatchSlots; ++slot) WriteU16(image.bytes, *PatchAddress(slot), LayoutMarker(layout));
    return image;
  }

  Record System(RecordLayout layout) const { return Take(kSystemAddress, SystemRecordSize(layout)); }
  Record Patch(RecordLayout layout, int slot) const { return Take(*PatchAddress(slot), PatchRecordSize(layout)); }
  // The patches as a backup holds them: every slot, names cleaned.
  std::vector<Record> CleanPatches(RecordLayout layout) const {
    std::vector<Record> patches;
    for (int slot = 0; slot < kPatchSlots; ++slot) {
      patches.push_back(Patch(layout, slot));
      SanitizePatchName(patches.back());
    }
    return patches;
  }

  void Put(uint16_t address, const Record& record) { std::copy(record.begin(), record.end(), bytes.begin() + address); }
  void PutPatchName(RecordLayout layout, int slot, const std::string& name) {
    Record patch = Patch(layout, slot);
    WriteText(patch, kPatchNameOffset, kPatchNameSize, name);
    Put(*PatchAddress(slot), patch);
  }

  void Save(const std::string& path) const {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

 private:
  Record Take(uint16_t address, std::size_t size) const {
    return Record(bytes.begin() + address, bytes.begin() + address + size);
  }
};

}  // namespace kt9::test
