// The bootloader's frame: shaped like a MIDI System Exclusive message (0xF0,
// bytes below 0x80, 0xF7), values sent one 4-bit nibble per byte, least
// significant nibble first, closed by a 7-bit check byte. Requests and replies
// share the shape and differ in their fifth byte. Used by the PC side and by
// the simulator's programming mode.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kt9 {

inline constexpr uint8_t kBootFrameStart = 0xF0;
inline constexpr std::array<uint8_t, 3> kBootFrameHeader{0x6F, 0x10, 0x02};
inline constexpr uint8_t kBootRequestMark = 0x11;
inline constexpr uint8_t kBootReplyMark = 0x12;
inline constexpr uint8_t kBootFrameEnd = 0xF7;
inline constexpr std::size_t kBootCommandOffset = 5;
inline constexpr std::size_t kBootParameterOffset = 6;
inline constexpr std::size_t kShortestBootFrame = 7;

// Command codes.
inline constexpr uint8_t BL_RESTART = 0x00;
inline constexpr uint8_t BL_GET_VERSION = 0x01;
inline constexpr uint8_t BL_READ_BLOCK = 0x02;
inline constexpr uint8_t BL_WRITE_BLOCK = 0x03;
inline constexpr uint8_t BL_ERASE_PAGES = 0x04;
inline constexpr uint8_t BL_VERIFY_OK = 0x09;

// Units. Addresses are program-counter addresses: one instruction word spans
// two address units and four image bytes (low, middle, high, and a fourth the
// chip does not store).
inline constexpr std::size_t kBlockBytes = 256;  // read and write unit, image bytes
inline constexpr std::size_t kPageBytes = 2048;  // erase unit, image bytes
inline constexpr uint32_t kBlockWords = 0x40;
inline constexpr uint32_t kBlockAddressUnits = 0x80;
inline constexpr uint32_t kPageAddressUnits = 0x400;

// Whole frame lengths.
inline constexpr std::size_t kPlainRequestLength = 8;  // restart, version, VerifyOK
inline constexpr std::size_t kReadRequestLength = 16;
inline constexpr std::size_t kEraseRequestLength = 16;
inline constexpr std::size_t kWriteRequestLength = 528;
inline constexpr std::size_t kAckReplyLength = 8;  // write, erase, VerifyOK
inline constexpr std::size_t kVersionReplyLength = 16;
inline constexpr std::size_t kReadReplyLength = 528;

// The covered bytes plus the check byte add up to a multiple of 128.
uint8_t Checksum7(const uint8_t* bytes, std::size_t count);

void AppendByteNibbles(std::vector<uint8_t>& out, uint8_t value);
void AppendAddressNibbles(std::vector<uint8_t>& out, uint32_t address);  // 24 bits, 6 nibbles

// Only the low four bits of each received byte count.
uint8_t DecodeNibblePair(uint8_t low, uint8_t high);
uint32_t DecodeAddressNibbles(const uint8_t* sixNibbles);

// 0xF0, header, mark, command, parameters, Checksum7 over command and
// parameters, 0xF7.
std::vector<uint8_t> BuildBootFrame(uint8_t mark, uint8_t command, const std::vector<uint8_t>& parameters);

// The frame checks, in this order: at least 7 bytes, the start and header,
// the mark, and Checksum7 over offset 5 up to the last two bytes equal to
// the next-to-last byte. The last byte is not examined.
bool IsValidBootFrame(const std::vector<uint8_t>& frame, uint8_t mark);

}  // namespace kt9
