// Where the pedal keeps what the tool reads and writes, in its 16-bit
// normal-mode address space.
#pragma once

#include <cstdint>
#include <optional>

namespace kt9 {

// Patch slots are 512 bytes apart; the bytes of a slot after its record are
// never read or written.
inline constexpr uint16_t kSystemAddress = 0x0A00;
inline constexpr uint16_t kFirstPatchAddress = 0x1200;
inline constexpr uint16_t kPatchSlotStride = 0x0200;
inline constexpr uint16_t kVersionAddress = 0xFF00;
inline constexpr uint16_t kVersionSize = 2;
inline constexpr int kPatchSlots = 99;

// Address of patch slot 0..98; nothing for any other slot.
constexpr std::optional<uint16_t> PatchAddress(int slot) {
  if (slot < 0 || slot >= kPatchSlots) return std::nullopt;
  return static_cast<uint16_t>(kFirstPatchAddress + slot * kPatchSlotStride);
}

}  // namespace kt9
