#include "sim/faulty_reply.h"

#include <span>

namespace kt9::sim {

void SendFaultyReply(std::vector<uint8_t> reply, std::optional<FaultKind> fault, const ModeFrames& frames,
                     std::chrono::milliseconds splitGap, PeerLink& link) {
  if (fault) {
    switch (*fault) {
      case FaultKind::kNoAnswer:
        return;
      case FaultKind::kHangUp:
        link.HangUp();
        return;
      case FaultKind::kSplit: {
        // The gap is longer than the PC's inter-byte time-out.
        const std::size_t half = reply.size() / 2;
        link.Send(std::span<const uint8_t>(reply).first(half));
        link.Pause(splitGap);
        link.Send(std::span<const uint8_t>(reply).subspan(half));
        return;
      }
      case FaultKind::kOtherCommandFirst:
        link.Send(frames.otherCommand);
        link.Pause(splitGap);
        break;
      case FaultKind::kBadChecksum:
        reply[reply.size() - 2] ^= 0x01;
        break;
      case FaultKind::kWrongEnd:
        reply.back() = frames.wrongEnd;
        break;
      case FaultKind::kTrailingBytes:
        reply.insert(reply.end(), frames.trailingNoise.begin(), frames.trailingNoise.end());
        break;
      case FaultKind::kWrongAddress:
      case FaultKind::kBusyForever:
        break;
    }
  }
  link.Send(reply);
}

}  // namespace kt9::sim
