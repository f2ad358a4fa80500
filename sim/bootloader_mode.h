// The pedal in programming mode: its bootloader answers version, block read,
// block write, page erase and VerifyOK requests from a flash kept in image
// form. A restart brings the pedal up in normal mode, which gets the line
// from then on. Faults come from
// the same plan as in normal mode, plus a few of the bootloader's own.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/boot_flash.h"
#include "sim/fault_plan.h"
#include "sim/peer_mode.h"

namespace CLI {
class App;
}

namespace kt9::sim {

struct BootloaderOptions {
  bool enabled = false;                  // --bootloader: start in programming mode
  std::string bootloaderVersion = "1.2";  // MAJOR.MINOR; 0.0 says "not in programming mode"
  std::string firmwareVersion = "2.3";    // MAJOR.MINOR of the firmware installed
  std::string flashFile;         // raw image; loaded at start, saved at exit
  std::string logFile;           // one line per request, in order
  std::string mismatchBlock;             // block address (0x80 or 128) whose reads come back altered
  bool silentAfterVerify = false;         // from VerifyOK on, nothing is answered
  std::vector<std::string> shortReplies;  // REQUEST[@N|@0xADDR]: a valid reply cut short
  std::chrono::milliseconds splitGap{150};  // longer than the PC's 100 ms inter-byte time-out
};

// Registers --bootloader and its options on the simulator's command line.
void AddBootloaderOptions(CLI::App& app, BootloaderOptions& options);

class BootloaderMode : public PeerMode {
 public:
  // `afterRestart` serves the line once the PC has sent the restart command.
  BootloaderMode(BootloaderOptions options, FaultPlan faults, std::unique_ptr<PeerMode> afterRestart);
  ~BootloaderMode() override;

  // The request kinds faults can select.
  static std::vector<std::string> RequestKinds() { return {"version", "read", "write", "erase", "verify", "restart"}; }

  // Checks the options, loads the flash file and opens the log; false with
  // a reason on stderr.
  bool Start();

  void OnBytes(std::span<const uint8_t> bytes, PeerLink& link) override;
  void OnExit() override;

  const BootFlash& Flash() const { return flash_; }

 private:
  void Answer(const std::vector<uint8_t>& frame, PeerLink& link);
  // The reply to a request, or nothing when the bootloader ignores it.
  std::optional<std::vector<uint8_t>> Reply(const std::vector<uint8_t>& frame, uint32_t address, bool wrongAddress);
  void Log(const char* kind, const std::vector<uint8_t>& frame, uint32_t address);

  BootloaderOptions options_;
  FaultPlan faults_;
  FaultPlan shortReplies_;
  std::unique_ptr<PeerMode> afterRestart_;
  bool restarted_ = false;
  BootFlash flash_;
  std::vector<uint8_t> input_;
  std::FILE* log_ = nullptr;
  bool silent_ = false;
  uint8_t version_[4] = {};  // bootloader major, minor, firmware major, minor
  std::optional<uint32_t> mismatchBlock_;
};

}  // namespace kt9::sim
