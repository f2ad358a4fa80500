// The simulated pedal's end of a pseudo-terminal. The terminal side (the
// path the PC opens) is raw from the first moment, and the simulator keeps a
// descriptor of it open itself, so the PC may close and reopen the port and
// nothing it sends before opening is echoed back.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/peer_mode.h"

namespace kt9::sim {

class PtyLink : public PeerLink {
 public:
  // `stop` is polled while waiting, so a signal ends every wait promptly.
  explicit PtyLink(const volatile std::sig_atomic_t& stop) : stop_(stop) {}
  ~PtyLink() override;
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  bool Create();
  const std::string& TerminalPath() const { return terminalPath_; }

  // Bytes paced at `baud` (10 bits a byte); 0 sends as fast as the pty takes.
  void SetLineRate(unsigned baud) { baud_ = baud; }

  // Waits up to `timeout` for bytes from the PC; an empty vector when none
  // came. Nothing once the line was hung up.
  std::vector<uint8_t> Receive(std::chrono::milliseconds timeout);
  bool HungUp() const { return master_ < 0; }

  bool Send(std::span<const uint8_t> bytes) override;
  void Pause(std::chrono::milliseconds duration) override;
  void HangUp() override;

 private:
  bool WriteAll(const uint8_t* data, std::size_t count);

  const volatile std::sig_atomic_t& stop_;
  int master_ = -1;
  int terminal_ = -1;
  std::string terminalPath_;
  unsigned baud_ = 0;
};

}  // namespace kt9::sim
