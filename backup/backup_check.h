// The check of a backup file just saved: read back as a restore would read
// it, does it give the records it was written from?
//
// The file format has no escaping. A patch name made only of characters the
// pedal allows can still hold a tag ("</PATCH>", "<patch_bpm>"), and the
// reader, which finds elements by literal tag search, then misreads that
// patch or the list of patches; an input setting's name is not even limited
// to those characters. A backup that would not restore what it holds must not
// pass for a good one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/records.h"

namespace kt9 {

// What a restore of the file would get wrong.
struct BackupCheck {
  bool readable = true;     // the reader recognised the text
  bool systemDiffers = false;
  std::vector<std::size_t> patchSlots;  // patches that would not come back as they were
  std::size_t patchesReadBack = 0;      // the number of patches the text holds for a restore

  bool Good(std::size_t patchesWritten) const {
    return readable && !systemDiffers && patchSlots.empty() && patchesReadBack == patchesWritten;
  }
};

// Compares what `text` reads back as with the records it was made from,
// every field the file holds. A patch counts as affected when it differs at
// its place in the text, or when a file of that patch alone would not read
// back as it (so a name that adds a <PATCH> of its own is found too).
BackupCheck CheckBackupText(std::string_view text, RecordLayout layout, const Record& system,
                            const std::vector<Record>& patches);

// The words for the user about a saved file whose check found damage.
std::string DescribeBackupDamage(const std::string& path, const BackupCheck& check,
                                 const std::vector<Record>& patches);

}  // namespace kt9
