// The pedal's normal-mode request protocol: framed requests with a CRC-16,
// answered by one framed reply each, to read and write blocks of the pedal's
// 16-bit address space and to poll its busy status after a write.
//
// Frame: 0x02, command, address (high byte first), length (high byte first),
// payload (only in frames that carry data), checksum (high byte first), 0x03.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/communicator.h"

namespace kt9 {

inline constexpr uint8_t CMD_STATUS = 9;
inline constexpr uint8_t CMD_READ = 10;
inline constexpr uint8_t CMD_WRITE = 11;
inline constexpr uint8_t REPLY_STATUS = 109;
inline constexpr uint8_t REPLY_READ = 110;

inline constexpr uint8_t kFrameStart = 0x02;
inline constexpr uint8_t kFrameEnd = 0x03;
inline constexpr std::size_t kFrameOverhead = 9;  // start, command, address, length, checksum, end
inline constexpr std::size_t kMaxReadChunk = 2048;

// CRC-16/ARC (reflected polynomial 0xA001, initial 0, no final XOR), going on
// from `crc`.
uint16_t FrameChecksum(std::span<const uint8_t> bytes, uint16_t crc = 0);

// The whole frame. With a payload its first `length` bytes are carried and
// checksummed; without one the length field still says `length` (a read).
std::vector<uint8_t> BuildFrame(uint8_t command, uint16_t address, uint16_t length,
                                std::span<const uint8_t> payload = {});

// Builds the request and hands it to one WriteBytes; that write's success.
// False without sending when a payload is shorter than `length`.
bool SendRequest(Communicator& link, uint8_t command, uint16_t address, uint16_t length,
                 std::span<const uint8_t> payload = {});

// One received byte into the Communicator's reply parser: 1 when it completes
// a valid frame, else 0. The parser's state carries over between reads, so a
// reply cut short by the inter-byte time-out is completed by the next read.
// The last frame's command, address and payload stay in link.Parser().
int ParseReplyByte(Communicator& link, uint8_t byte);

// Reads destination.size() bytes from `address` on: chunks of at most 2048
// bytes, one request each, then up to 3 reads for its reply. A reply with
// another address fails at once; one whose length is not the chunk's counts
// as a miss. Nothing is sent for an empty destination.
bool ReadBlock(Communicator& link, uint8_t requestCommand, uint8_t replyCommand, uint16_t address,
               std::span<uint8_t> destination);

// Writes the system record (358 bytes: legacy layout, 1242: extended) at
// 0x0A00 and waits until the pedal has stored it. Silence counts as the
// acknowledgement; a reply that is not a valid frame fails the write, as does
// a pedal that stays busy beyond the pacing's busy limit.
bool WriteSystemRecord(Communicator& link, std::span<const uint8_t> record);

// Writes a patch record (502 bytes: legacy layout, 506: extended) into patch
// slot `patchNumber` (0 to 98) and waits until the pedal has stored it. It
// needs a valid frame as the acknowledgement within 20 reads.
bool WritePatchRecord(Communicator& link, std::span<const uint8_t> record, uint16_t patchNumber);

// Polls the busy status until the pedal reports ready. A failed poll or a
// status other than 0 and 1 ends the wait as if ready; false only when the
// pedal is still busy after the pacing's busy limit.
bool WaitWhileBusy(Communicator& link);

// The firmware version word: 2 bytes at 0xFF00, low byte first.
std::optional<uint16_t> ReadVersionWord(Communicator& link);

}  // namespace kt9
