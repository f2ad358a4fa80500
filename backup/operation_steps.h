// What the backup and the restore share: the messages of a pedal that cannot
// be reached or runs an unknown firmware, the choice of the record layout by
// the pedal's firmware version word, and the opening of the progress window.
#pragma once

#include <optional>

#include "backup/records.h"
#include "common/operation_ui.h"
#include "link/communicator.h"

namespace kt9 {

inline constexpr const char* kNoContactMessage = "Sorry could not contact the KT-9. Check the USB connection.";
inline constexpr const char* kUnsupportedFirmwareMessage = "Sorry this program does not suport your firmware version";

// Reads the version word and picks the layout. A pedal that does not answer
// the version read is taken as legacy, as the first programs for the pedal
// did; a firmware from 0x0300 on has records this program does not know,
// which it says through `ui` before returning nothing.
std::optional<RecordLayout> ChoosePedalLayout(Communicator& link, OperationUi& ui);

// The progress window of a backup or restore: the first status, range 0-100
// at position 0, one step for every record.
void OpenProgress(OperationUi& ui, const char* status);

}  // namespace kt9
