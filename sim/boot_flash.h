// The pedal's program flash as its bootloader sees it, kept in image form:
// offset = image byte index, four bytes per instruction word. It behaves like
// the chip's flash: an erase sets whole pages to 0xFF, programming can only
// clear bits, and the fourth byte of every word, which the chip does not
// store, reads back as 0x00.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kt9::sim {

class BootFlash {
 public:
  static constexpr std::size_t kSize = 0x55800;  // image bytes, whole pages up to the configuration page

  BootFlash() : bytes_(kSize, 0xFF) {}

  // A raw image file; a shorter one leaves the rest erased. False when an
  // existing file cannot be read.
  bool Load(const std::string& path);
  bool Save(const std::string& path) const;

  // False when the range does not lie inside the flash.
  bool Read(std::size_t index, std::size_t count, std::vector<uint8_t>& out) const;
  bool Program(std::size_t index, const uint8_t* data, std::size_t count);
  bool ErasePages(std::size_t index, std::size_t pages);  // from the page holding `index`

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kt9::sim
