#include "link/device_requests.h"

#include <array>
#include <chrono>
#include <thread>

#include "link/memory_map.h"

namespace kt9 {
namespace {

constexpr int kReadsPerChunk = 3;
constexpr int kPatchAckReads = 20;

constexpr std::array<std::size_t, 2> kSystemRecordSizes{358, 1242};
constexpr std::array<std::size_t, 2> kPatchRecordSizes{502, 506};

// Commands whose frames carry a payload; any other frame's length field is
// not followed by data, whatever it says.
constexpr std::array<uint8_t, 6> kPayloadCommands{CMD_WRITE, REPLY_STATUS, REPLY_READ, 120, 130, 140};

// CRC-16/ARC a nibble at a time: the low and the high nibble of
// (crc low byte XOR data byte) each index a table of 16.
constexpr std::array<uint16_t, 16> MakeNibbleTable(int shift) {
  std::array<uint16_t, 16> table{};
  for (uint16_t n = 0; n < 16; ++n) {
    uint16_t crc = static_cast<uint16_t>(n << shift);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : (crc >> 1);
    table[n] = crc;
  }
  return table;
}
constexpr auto kLowNibble = MakeNibbleTable(0);
constexpr auto kHighNibble = MakeNibbleTable(4);

bool Contains(std::span<const std::size_t> sizes, std::size_t size) {
  for (std::size_t s : sizes) {
    if (s == size) return true;
  }
  return false;
}

bool CarriesPayload(uint8_t command) {
  for (uint8_t c : kPayloadCommands) {
    if (c == command) return true;
  }
  return false;
}

void Pause(std::chrono::milliseconds duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

// Feeds a read's bytes to the parser; the result for the last byte, which is
// the only one that counts: a frame followed by more bytes in the same read is
// lost.
int FeedReply(Communicator& link, const std::vector<uint8_t>& bytes) {
  int result = 0;
  for (uint8_t byte : bytes) result = ParseReplyByte(link, byte);
  return result;
}

uint8_t High(uint16_t value) { return static_cast<uint8_t>(value >> 8); }
uint8_t Low(uint16_t value) { return static_cast<uint8_t>(value & 0xFF); }

enum class ChunkResult { kDone, kFailed };

ChunkResult ReadChunk(Communicator& link, uint8_t requestCommand, uint8_t replyCommand, uint16_t address,
                      std::span<uint8_t> destination) {
  const auto length = static_cast<uint16_t>(destination.size());
  // The pedal's answer is what counts; a failed write shows up as silence.
  SendRequest(link, requestCommand, address, length);
  Pause(link.Options().pacing.afterRequest);
  std::vector<uint8_t> bytes;
  for (int attempt = 0; attempt < kReadsPerChunk; ++attempt) {
    if (!link.ReadBytes(destination.size() + kFrameOverhead, bytes)) return ChunkResult::kFailed;
    const ReplyParser& reply = link.Parser();
    if (FeedReply(link, bytes) != 1 || reply.command != replyCommand) continue;
    if (reply.address != address) return ChunkResult::kFailed;
    // A reply that does not carry the chunk cannot supply it.
    if (!reply.hasPayload || reply.received != length) continue;
    std::copy(reply.payload.begin(), reply.payload.begin() + length, destination.begin());
    return ChunkResult::kDone;
  }
  return ChunkResult::kFailed;
}

}  // namespace

uint16_t FrameChecksum(std::span<const uint8_t> bytes, uint16_t crc) {
  for (uint8_t byte : bytes) {
    const uint8_t index = static_cast<uint8_t>((crc & 0xFF) ^ byte);
    crc = static_cast<uint16_t>((crc >> 8) ^ kLowNibble[index & 0x0F] ^ kHighNibble[index >> 4]);
  }
  return crc;
}

std::vector<uint8_t> BuildFrame(uint8_t command, uint16_t address, uint16_t length, std::span<const uint8_t> payload) {
  const std::size_t carried = payload.empty() ? 0 : length;
  std::vector<uint8_t> frame;
  frame.reserve(kFrameOverhead + carried);
  for (uint8_t byte : {kFrameStart, command, High(address), Low(address), High(length), Low(length)}) {
    frame.push_back(byte);
  }
  frame.insert(frame.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(carried));
  const uint16_t crc = FrameChecksum(std::span<const uint8_t>(frame).subspan(1));
  frame.push_back(High(crc));
  frame.push_back(Low(crc));
  frame.push_back(kFrameEnd);
  return frame;
}

bool SendRequest(Communicator& link, uint8_t command, uint16_t address, uint16_t length,
                 std::span<const uint8_t> payload) {
  if (!payload.empty() && payload.size() < length) return false;
  const std::vector<uint8_t> frame = BuildFrame(command, address, length, payload);
  return link.WriteBytes(frame.data(), frame.size());
}

int ParseReplyByte(Communicator& link, uint8_t byte) {
  ReplyParser& p = link.Parser();
  switch (p.state) {
    case 0:
      if (byte == kFrameStart) p.state = 1;
      return 0;
    case 1:
      p.command = byte;
      p.state = 2;
      return 0;
    case 2:
      p.addressHigh = byte;
      p.state = 3;
      return 0;
    case 3:
      p.addressLow = byte;
      p.address = static_cast<uint16_t>(p.addressHigh << 8 | p.addressLow);
      p.state = 4;
      return 0;
    case 4:
      p.lengthHigh = byte;
      p.state = 5;
      return 0;
    case 5:
      p.lengthLow = byte;
      p.length = static_cast<uint16_t>(p.lengthHigh << 8 | p.lengthLow);
      p.payload.clear();
      p.hasPayload = false;
      p.received = 0;
      if (p.length != 0 && CarriesPayload(p.command)) {
        p.payload.assign(p.length, 0);
        p.hasPayload = true;
        p.state = 6;
      } else {
        p.state = 7;
      }
      return 0;
    case 6:
      p.payload[p.received++] = byte;
      if (p.received == p.length) p.state = 7;
      return 0;
    case 7:
      p.checksum = static_cast<uint16_t>(byte << 8);
      p.state = 8;
      return 0;
    case 8:
      p.checksum = static_cast<uint16_t>(p.checksum | byte);
      p.state = 9;
      return 0;
    default: {
      p.endByte = byte;
      p.state = 0;
      const std::array<uint8_t, 5> header{p.command, p.addressHigh, p.addressLow, p.lengthHigh, p.lengthLow};
      uint16_t crc = FrameChecksum(header);
      crc = FrameChecksum(std::span<const uint8_t>(p.payload.data(), p.received), crc);
      return crc == p.checksum && p.endByte == kFrameEnd ? 1 : 0;
    }
  }
}

bool ReadBlock(Communicator& link, uint8_t requestCommand, uint8_t replyCommand, uint16_t address,
               std::span<uint8_t> destination) {
  while (!destination.empty()) {
    const std::size_t chunk = std::min(destination.size(), kMaxReadChunk);
    if (ReadChunk(link, requestCommand, replyCommand, address, destination.first(chunk)) != ChunkResult::kDone) {
      return false;
    }
    address = static_cast<uint16_t>(address + chunk);
    destination = destination.subspan(chunk);
  }
  return true;
}

bool WriteSystemRecord(Communicator& link, std::span<const uint8_t> record) {
  if (!Contains(kSystemRecordSizes, record.size())) return false;
  SendRequest(link, CMD_WRITE, kSystemAddress, static_cast<uint16_t>(record.size()), record);
  Pause(link.Options().pacing.afterRequest);
  std::vector<uint8_t> bytes;
  if (!link.ReadBytes(kFrameOverhead, bytes)) return false;
  // The pedal may store the system record without a word: silence is fine,
  // garbage is not.
  if (!bytes.empty() && FeedReply(link, bytes) != 1) return false;
  if (!WaitWhileBusy(link)) return false;
  Pause(link.Options().pacing.afterSystemWrite);
  return true;
}

bool WritePatchRecord(Communicator& link, std::span<const uint8_t> record, uint16_t patchNumber) {
  const std::optional<uint16_t> address = PatchAddress(patchNumber);
  if (!Contains(kPatchRecordSizes, record.size()) || !address) return false;
  SendRequest(link, CMD_WRITE, *address, static_cast<uint16_t>(record.size()), record);
  std::vector<uint8_t> bytes;
  for (int attempt = 0; attempt < kPatchAckReads; ++attempt) {
    if (!link.ReadBytes(kFrameOverhead, bytes)) return false;
    if (bytes.empty()) {
      Pause(link.Options().pacing.betweenEmptyAcks);
      continue;
    }
    if (FeedReply(link, bytes) == 1) return WaitWhileBusy(link);
  }
  return false;
}

bool WaitWhileBusy(Communicator& link) {
  const RequestPacing& pacing = link.Options().pacing;
  const auto deadline = std::chrono::steady_clock::now() + pacing.busyLimit;
  for (;;) {
    uint8_t status = 0;
    const bool read = ReadBlock(link, CMD_STATUS, REPLY_STATUS, 0, std::span<uint8_t>(&status, 1));
    if (read && status == 0) return true;
    Pause(pacing.betweenBusyPolls);
    if (status != 1) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

std::optional<uint16_t> ReadVersionWord(Communicator& link) {
  std::array<uint8_t, 2> word{};
  if (!ReadBlock(link, CMD_READ, REPLY_READ, kVersionAddress, word)) return std::nullopt;
  return static_cast<uint16_t>(word[0] | word[1] << 8);
}

}  // namespace kt9
