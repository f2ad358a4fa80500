// How a reply goes out on the line under one of the injected faults. Both
// modes deliver their replies this way; they differ only in the frame of
// another command they send first, the end byte that is wrong for them and
// the bytes they let trail a reply.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/peer_mode.h"

namespace kt9::sim {

// Views of the mode's own bytes; they need only outlive the call.
struct ModeFrames {
  std::span<const uint8_t> otherCommand;   // a valid frame the PC did not ask for
  uint8_t wrongEnd = 0;                    // an end byte this mode's frames never have
  std::span<const uint8_t> trailingNoise;  // bytes that may follow a reply
};

// Sends `reply` altered by `fault` (none: as it is). kWrongAddress and
// kBusyForever do not touch the bytes here: the mode applies them elsewhere.
void SendFaultyReply(std::vector<uint8_t> reply, std::optional<FaultKind> fault, const ModeFrames& frames,
                     std::chrono::milliseconds splitGap, PeerLink& link);

}  // namespace kt9::sim
