// The restore: writes the system record and the patch records of a KT-9
// Backup file into the pedal, converted to the pedal's layout when the file
// was made from the other firmware generation.
#pragma once

#include <string>
#include <string_view>

#include "backup/operation_result.h"
#include "common/operation_ui.h"
#include "link/communicator.h"

namespace kt9 {

// Runs one restore on a link of its own, opened from `link`. The file is
// chosen through the ui's open prompt and becomes `lastBackupPath`. A file
// that cannot be read, is not a KT-9 Backup file or holds more patches than
// the pedal's 99 slots is refused before anything is written.
OperationResult RunRestore(OperationUi& ui, const LinkOptions& link, std::string& lastBackupPath);

// Why `text`, which the reader did not recognise, is no KT-9 Backup file this
// program can read, in words for the user.
std::string UnrecognisedBackupReason(std::string_view text);

}  // namespace kt9
