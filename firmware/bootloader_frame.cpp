#include "firmware/bootloader_frame.h"

namespace kt9 {

uint8_t Checksum7(const uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum = (sum + bytes[i]) % 128;
  return static_cast<uint8_t>((128 - sum) % 128);
}

void AppendByteNibbles(std::vector<uint8_t>& out, uint8_t value) {
  out.push_back(value & 0x0F);
  out.push_back(value >> 4);
}

void AppendAddressNibbles(std::vector<uint8_t>& out, uint32_t address) {
  for (int shift = 0; shift < 24; shift += 4) out.push_back(static_cast<uint8_t>(address >> shift & 0x0F));
}

uint8_t DecodeNibblePair(uint8_t low, uint8_t high) { return static_cast<uint8_t>((high & 0x0F) << 4 | (low & 0x0F)); }

uint32_t DecodeAddressNibbles(const uint8_t* sixNibbles) {
  uint32_t address = 0;
  for (int i = 0; i < 6; ++i) address |= uint32_t{sixNibbles[i] & 0x0Fu} << (4 * i);
  return address;
}

std::vector<uint8_t> BuildBootFrame(uint8_t mark, uint8_t command, const std::vector<uint8_t>& parameters) {
  std::vector<uint8_t> frame;
  frame.reserve(kBootParameterOffset + parameters.size() + 2);
  frame.push_back(kBootFrameStart);
  frame.insert(frame.end(), kBootFrameHeader.begin(), kBootFrameHeader.end());
  frame.push_back(mark);
  frame.push_back(command);
  frame.insert(frame.end(), parameters.begin(), parameters.end());
  frame.push_back(Checksum7(frame.data() + kBootCommandOffset, frame.size() - kBootCommandOffset));
  frame.push_back(kBootFrameEnd);
  return frame;
}

bool IsValidBootFrame(const std::vector<uint8_t>& frame, uint8_t mark) {
  if (frame.size() < kShortestBootFrame) return false;
  if (frame[0] != kBootFrameStart) return false;
  for (std::size_t i = 0; i < kBootFrameHeader.size(); ++i) {
    if (frame[1 + i] != kBootFrameHeader[i]) return false;
  }
  if (frame[4] != mark) return false;
  const std::size_t checkAt = frame.size() - 2;
  // Compared as a whole byte: a received check byte of 0x80 or more never matches.
  const std::size_t covered = checkAt > kBootCommandOffset ? checkAt - kBootCommandOffset : 0;
  return Checksum7(frame.data() + kBootCommandOffset, covered) == frame[checkAt];
}

}  // namespace kt9
