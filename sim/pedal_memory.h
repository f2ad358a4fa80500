// The simulated pedal's 65,536-byte address space, optionally kept in a raw
// file (offset = address).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kt9::sim {

class PedalMemory {
 public:
  static constexpr std::size_t kSize = 0x10000;

  // A pedal fresh from the factory: the version word at 0xFF00, a system
  // record whose sysconfig_id marks the layout the version word selects
  // (1000 legacy, 2000 extended) and 99 patches named "Patch 01" to
  // "Patch 99" marked the same way. Every other byte, reserved ones included,
  // holds a fixed pattern that differs from byte to byte and slot to slot, so
  // a round trip that loses or moves a byte shows.
  static PedalMemory Factory(uint16_t versionWord);

  // Loads `path` when it exists (a short file leaves the rest factory-fresh);
  // false when it exists but cannot be read.
  bool Load(const std::string& path);
  // Writes a temporary file beside `path` and renames it over `path`.
  bool Save(const std::string& path) const;

  // Reads and writes wrap at the end of the 16-bit address space.
  std::vector<uint8_t> Read(uint16_t address, std::size_t count) const;
  void Write(uint16_t address, std::span<const uint8_t> bytes);

 private:
  std::vector<uint8_t> bytes_ = std::vector<uint8_t>(kSize, 0);
};

}  // namespace kt9::sim
