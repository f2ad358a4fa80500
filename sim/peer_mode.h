// What the simulated pedal does with the bytes it receives. The pedal runs in
// one mode at a time (normal mode answers the request protocol; a bootloader
// mode can sit beside it); the pseudo-terminal, the pacing and the faults that
// touch the line itself are shared plumbing (PeerLink).
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace kt9::sim {

// The simulated pedal's side of the line.
class PeerLink {
 public:
  virtual ~PeerLink() = default;
  // Sends the bytes at the configured line rate; false once the line is gone.
  virtual bool Send(std::span<const uint8_t> bytes) = 0;
  // Says nothing for a while (a reply split by a gap, a slow pedal).
  virtual void Pause(std::chrono::milliseconds duration) = 0;
  // Drops the line the way an unplugged pedal does.
  virtual void HangUp() = 0;
};

class PeerMode {
 public:
  virtual ~PeerMode() = default;
  // Bytes as they arrived from the PC, in order, in pieces of any size.
  virtual void OnBytes(std::span<const uint8_t> bytes, PeerLink& link) = 0;
  // The simulator is stopping.
  virtual void OnExit() {}
};

}  // namespace kt9::sim
