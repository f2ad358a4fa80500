// The pedal in normal mode: answers read, write and status requests of the
// request protocol from its memory, reports busy for a while after each
// write, and injects the faults of its plan.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/pedal_memory.h"
#include "sim/peer_mode.h"

namespace kt9::sim {

struct NormalModeOptions {
  std::string memoryFile;                 // empty: memory lives only as long as the simulator
  unsigned busyPolls = 1;                 // status polls answered busy after each write
  std::chrono::milliseconds splitGap{150};  // longer than the PC's 100 ms inter-byte time-out
  bool verbose = false;                   // one line per request on stderr
};

class NormalMode : public PeerMode {
 public:
  NormalMode(PedalMemory memory, NormalModeOptions options, FaultPlan faults);

  // The request kinds faults can select.
  static std::vector<std::string> RequestKinds() { return {"read", "write", "status"}; }

  void OnBytes(std::span<const uint8_t> bytes, PeerLink& link) override;
  void OnExit() override;

 private:
  struct Request {
    uint8_t command;
    uint16_t address;
    uint16_t length;
    std::vector<uint8_t> payload;
  };

  // The next complete request in the input, dropping noise before it;
  // nothing while a request is still incomplete.
  std::optional<Request> NextRequest();
  void Answer(const Request& request, PeerLink& link);
  std::vector<uint8_t> Reply(const Request& request, uint16_t replyAddress);
  void SendWithFault(const Request& request, std::optional<FaultKind> fault, PeerLink& link);

  PedalMemory memory_;
  NormalModeOptions options_;
  FaultPlan faults_;
  std::vector<uint8_t> input_;
  unsigned busyLeft_ = 0;
  bool busyForever_ = false;
};

}  // namespace kt9::sim
