// The PC side of the pedal's bootloader protocol, spoken over the shared
// Communicator while the pedal is in programming mode (switched on with its
// 'A' foot switch held down). Each operation is one exchange, repeated where
// the protocol allows; none shows a message, the callers do.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "firmware/bootloader_frame.h"
#include "link/communicator.h"

namespace kt9 {

// Attempts of the repeatable exchanges (read, write, erase, VerifyOK).
inline constexpr int kBootAttempts = 3;
// Every reply is read with one read of this many bytes: twice the longest
// reply, so the read ends on the pedal's silence, not on its count.
inline constexpr std::size_t kReplyReadSize = 1056;

struct BootVersion {
  uint8_t bootloaderMajor = 0;
  uint8_t bootloaderMinor = 0;
  uint8_t firmwareMajor = 0;
  uint8_t firmwareMinor = 0;

  // A bootloader version of 0.0 means the pedal is not in programming mode.
  bool InProgrammingMode() const { return bootloaderMajor != 0 || bootloaderMinor != 0; }
};

using FlashBlock = std::array<uint8_t, kBlockBytes>;  // one block in image form

// One exchange, up to `attempts` times: drain stale input, write the request,
// read the reply once. An attempt fails when the read fails, the reply fails
// the frame checks, or it is shorter than `fullReplyLength` (nothing is taken
// from beyond the bytes received). The first reply that passes ends the
// exchange and is returned whatever command it repeats; the caller judges it.
std::optional<std::vector<uint8_t>> ExchangeFrame(Communicator& link, uint8_t command,
                                                  const std::vector<uint8_t>& parameters,
                                                  std::size_t fullReplyLength, int attempts);

// One attempt, never repeated: one lost reply is a failure.
std::optional<BootVersion> QueryBootVersion(Communicator& link);
// The block at a program-counter address, as stored (256 image bytes).
std::optional<FlashBlock> ReadFlashBlock(Communicator& link, uint32_t address);
bool WriteFlashBlock(Communicator& link, uint32_t address, const FlashBlock& block);
bool EraseFlashPages(Communicator& link, uint8_t pageCount, uint32_t address);
// False only when a valid reply repeats another command: a bootloader that
// stays silent after VerifyOK has accepted it.
bool SendVerifyOK(Communicator& link);
// Nothing is read: the pedal restarts without answering.
void SendRestart(Communicator& link);

}  // namespace kt9
