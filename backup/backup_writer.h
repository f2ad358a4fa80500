// Turns the pedal's records into the text of a KT-9 Backup file (*.kt9).
//
// The text is 8-bit, one element per line, every line ended by CR LF, no
// indentation and no escaping: names go to the file byte for byte, and the
// reader takes them back the same way. Numbers are unsigned decimals.
#pragma once

#include <string>
#include <vector>

#include "backup/records.h"

namespace kt9 {

// Appends the whole document for `system` and `patches` (slot 0 first, any
// number of them) in `layout` to `out`. The records are only read: neither
// sysconfig_id, patch_id nor the number of patches is checked. A record
// shorter than its layout's size prints zeros for its missing bytes.
void WriteBackupText(RecordLayout layout, const Record& system, const std::vector<Record>& patches,
                     std::string& out);

// Lines of a document with `patches` patch records: 5 + 789 + 456 p for the
// extended layout, 5 + 274 + 453 p for the legacy one.
std::size_t BackupTextLineCount(RecordLayout layout, std::size_t patches);

}  // namespace kt9
