// Faults the simulated pedal injects on chosen requests, from the command
// line: KIND[:REQUEST][@WHERE]
//
//   KIND     no-answer, split, wrong-address, bad-checksum, wrong-end,
//            other-command-first, trailing-bytes, busy-forever, hang-up
//   REQUEST  a request kind of the mode (normal mode: read, write, status);
//            omitted or "any": every kind
//   WHERE    @N       the N-th request of that kind (decimal, from 1), once
//            @0xHHHH  every request of that kind at that address (hex)
//            omitted  every request of that kind
//
// e.g. no-answer:read@0x1400, bad-checksum:write@3, busy-forever:write@1.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kt9::sim {

enum class FaultKind {
  kNoAnswer,           // say nothing
  kSplit,              // the reply in two pieces with a gap longer than the PC's inter-byte time-out
  kWrongAddress,       // the reply echoes another address
  kBadChecksum,        // the reply's checksum is off
  kWrongEnd,           // the reply's end byte is not 0x03
  kOtherCommandFirst,  // a valid frame of another command, a gap, then the reply
  kTrailingBytes,      // more bytes right after the reply, in the same burst
  kBusyForever,        // answer, then report busy to every status poll from now on
  kHangUp,             // drop the line instead of answering
};

struct FaultRule {
  FaultKind kind = FaultKind::kNoAnswer;
  std::string request = "any";
  std::optional<uint32_t> ordinal;  // @N
  std::optional<uint32_t> address;  // @0xHHHH (the bootloader's addresses have 24 bits)
};

// Parses one --fault text; nothing when it is malformed or names an unknown
// request kind among `requests`.
std::optional<FaultRule> ParseFault(const std::string& text, const std::vector<std::string>& requests);

// The names of the fault kinds, for the help text.
std::string FaultKindNames();

class FaultPlan {
 public:
  void Add(const FaultRule& rule) { rules_.push_back(rule); }
  // Counts the request and gives the fault it gets, if any (the first rule
  // that matches).
  std::optional<FaultKind> Take(const std::string& request, uint32_t address);

 private:
  std::vector<FaultRule> rules_;
  std::map<std::string, uint32_t> counts_;
};

}  // namespace kt9::sim
