// The status line of the update page after a Verify: what the pedal's
// bootloader answered, in the words the page and kt9 boot-info show.
#pragma once

#include <optional>
#include <string>

#include "firmware/bootloader.h"

namespace kt9 {

inline constexpr const char* kNotInProgrammingMode = "ERROR: NORVANE KT-9 NOT IN PROGRAMMING MODE!";
inline constexpr const char* kNoResponse = "ERROR: NO RESPONSE!";
inline constexpr const char* kCommunicationClosed = "Error: Communication is closed";

struct BootStatus {
  std::string text;    // "OK - BL V1.2, FW V2.3" or one of the error texts
  bool found = false;  // the bootloader answered in programming mode
};

// The status for the answer to QueryBootVersion (nothing: no answer).
BootStatus DescribeBootVersion(const std::optional<BootVersion>& version);

// One query on an open link.
BootStatus CheckBootloader(Communicator& link);

}  // namespace kt9
