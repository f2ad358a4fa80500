// RunUpdate: the firmware update from a HEX file through the pedal's
// bootloader, on a link that a Verify has opened. It erases and writes the
// main program, rewrites the vector area at the bottom of program memory
// (keeping the heads of its blocks as the pedal had them) and reads that area
// back, then declares the firmware verified and offers the restart. All it
// shows and asks goes through the OperationUi, so the update page and kt9
// update run the same code.
#pragma once

#include <functional>
#include <string>

#include "common/operation_ui.h"
#include "link/communicator.h"

namespace kt9 {

// What the update reads from and sets on the front end that started it.
struct UpdateRequest {
  // The status line of the last Verify; the update refuses to start unless
  // it holds "OK". Emptied at the end, so the user verifies again.
  std::string status;
  std::string firmwarePath;  // the HEX file to program
  // Disables the upgrade button while the update runs and enables it again
  // at the end; may be empty.
  std::function<void(bool enabled)> enableUpgrade;
};

// The questions the update asks, for front ends that answer them from
// options. The failure report is a question too: the text of the failures,
// ending in kVerifyAnyhowEnding.
inline constexpr const char* kRestartNowQuestion = "KT-9 Update is completed and OK!\r\nRestart KT-9 now?";
inline constexpr const char* kVerifyAnyhowEnding = "\r\nVerify anyhow?";
inline constexpr const char* kRestartQuestion = "Restart KT-9?";

// Image byte indices that bound the two segments the update writes.
inline constexpr std::size_t kMainSegmentFloor = 0x3000;   // the main program starts at or above
inline constexpr std::size_t kVectorSegmentLast = 0x401;   // the vector area ends with this byte

// True when the update ran to the end without a failure (whatever the user
// answered to the restart). Early refusals, a closed link and a HEX file that
// does not load give false and send nothing to the pedal.
bool RunUpdate(Communicator& link, UpdateRequest& request, OperationUi& ui);

}  // namespace kt9
