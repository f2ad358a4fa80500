#include "sim/boot_flash.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "firmware/bootloader_frame.h"

namespace kt9::sim {

bool BootFlash::Load(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::copy_n(content.begin(), std::min(content.size(), kSize), bytes_.begin());
  return true;
}

bool BootFlash::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  return static_cast<bool>(out);
}

bool BootFlash::Read(std::size_t index, std::size_t count, std::vector<uint8_t>& out) const {
  if (index > kSize || count > kSize - index) return false;
  out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(index),
             bytes_.begin() + static_cast<std::ptrdiff_t>(index + count));
  for (std::size_t i = 0; i < count; ++i) {
    if ((index + i) % 4 == 3) out[i] = 0x00;
  }
  return true;
}

bool BootFlash::Program(std::size_t index, const uint8_t* data, std::size_t count) {
  if (index > kSize || count > kSize - index) return false;
  for (std::size_t i = 0; i < count; ++i) bytes_[index + i] &= data[i];
  return true;
}

bool BootFlash::ErasePages(std::size_t index, std::size_t pages) {
  const std::size_t start = index / kPageBytes * kPageBytes;
  if (start >= kSize) return false;
  const std::size_t end = std::min(kSize, start + pages * kPageBytes);
  std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(start), bytes_.begin() + static_cast<std::ptrdiff_t>(end), 0xFF);
  return true;
}

}  // namespace kt9::sim
