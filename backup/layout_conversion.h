// Conversion of records between the pedal's two layouts, so that a backup of
// one firmware generation can be restored into a pedal of the other.
//
// All six are pure: the output is zero-filled first and then built from the
// input; what the steps do not set stays zero. Inputs of the wrong size read
// as zeros past their end.
#pragma once

#include <vector>

#include "backup/records.h"

namespace kt9 {

// Legacy to extended: everything of the legacy record at its place, the
// input selections 0, 1, 2, and ten input settings: "Primary GK" and
// "Second GK" from the two GK inputs, "Regular GTR" from the first GK input
// with the normal guitar input in its guitar fields, "Setting 4" to
// "Setting 10" with the firmware's defaults.
Record SystemToExtended(const Record& legacy);

// Extended to legacy: the GK inputs from input settings 1 and 2 and the
// normal guitar input from setting 3, by position, whatever sys_inp_set0..2
// select; the rest of the common part at its place.
Record SystemToLegacy(const Record& extended);

// The name and everything from sust on are carried over. The two generations
// do not share the header fields: going to extended keeps patch_bpm_local,
// patch_bpm and patch_depth and drops patch_fxtarget; going to legacy keeps
// only patch_fxtarget.
Record PatchToExtended(const Record& legacy);
Record PatchToLegacy(const Record& extended);

std::vector<Record> PatchListToExtended(const std::vector<Record>& legacy);
std::vector<Record> PatchListToLegacy(const std::vector<Record>& extended);

}  // namespace kt9
