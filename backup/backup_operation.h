// The backup: reads the pedal's system record and its 99 patch records and
// saves them in a KT-9 Backup file.
#pragma once

#include <cstddef>
#include <string>

#include "backup/operation_result.h"
#include "backup/records.h"
#include "common/operation_ui.h"
#include "link/communicator.h"

namespace kt9 {

// What a completed backup saved.
struct BackupSummary {
  std::string path;
  RecordLayout layout = RecordLayout::Legacy;
  std::size_t patches = 0;
};

// Runs one backup on a link of its own, opened from `link` and closed before
// the save prompt. `lastBackupPath` starts the save prompt and becomes the
// chosen path. The file replaces an older one only once it is complete on
// the disk, and is read back and compared with the pedal's records before the
// backup counts as completed. `summary` (when given) is filled on completion.
OperationResult RunBackup(OperationUi& ui, const LinkOptions& link, std::string& lastBackupPath,
                          BackupSummary* summary = nullptr);

}  // namespace kt9
