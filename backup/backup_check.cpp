#include "backup/backup_check.h"

#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/field_table.h"

namespace kt9 {

namespace {

bool SamePatch(RecordLayout layout, const Record& a, const Record& b) {
  return SameFileFields(PatchRecordType(), layout, a, b);
}

// Whether a file of the system record and this one patch reads back as them.
bool PatchSurvivesAlone(RecordLayout layout, const Record& system, const Record& patch) {
  std::string text;
  WriteBackupText(layout, system, {patch}, text);
  const std::optional<BackupContents> back = ReadBackupText(text);
  return back && back->patches.size() == 1 && SamePatch(layout, back->patches.front(), patch);
}

}  // namespace

BackupCheck CheckBackupText(std::string_view text, RecordLayout layout, const Record& system,
                            const std::vector<Record>& patches) {
  BackupCheck check;
  const std::optional<BackupContents> back = ReadBackupText(text);
  if (!back || back->layout != layout) {
    check.readable = false;
    return check;
  }
  check.systemDiffers = !SameFileFields(SystemRecordType(), layout, back->system, system);
  check.patchesReadBack = back->patches.size();
  const bool everyPlaceSame = [&] {
    if (back->patches.size() != patches.size()) return false;
    for (std::size_t slot = 0; slot < patches.size(); ++slot) {
      if (!SamePatch(layout, back->patches[slot], patches[slot])) return false;
    }
    return true;
  }();
  if (everyPlaceSame) return check;
  for (std::size_t slot = 0; slot < patches.size(); ++slot) {
    const bool samePlace = slot < back->patches.size() && SamePatch(layout, back->patches[slot], patches[slot]);
    if (!samePlace || !PatchSurvivesAlone(layout, system, patches[slot])) check.patchSlots.push_back(slot);
  }
  return check;
}

std::string DescribeBackupDamage(const std::string& path, const BackupCheck& check,
                                 const std::vector<Record>& patches) {
  std::string text = "Warning: The backup was saved to " + path + ", but ";
  if (!check.readable) {
    return text + "a restore would not accept the file: its system settings do not mark a record layout "
                  "this program knows. The file was kept.";
  }
  text += "a restore of it would not give back the same data for:\r\n";
  if (check.systemDiffers) text += "\tthe system settings\r\n";
  for (const std::size_t slot : check.patchSlots) {
    const std::string_view name = ReadText(patches[slot], kPatchNameOffset, kPatchNameSize);
    text += "\tpatch " + std::to_string(slot + 1) + " \"" + std::string(name) + "\"\r\n";
  }
  if (check.patchesReadBack != patches.size()) {
    text += "\tthe patch list: it would restore " + std::to_string(check.patchesReadBack) + " patches instead of " +
            std::to_string(patches.size()) + "\r\n";
  }
  return text +
         "A backup file holds names as they are, and a name that holds a tag such as </PATCH> is misread. "
         "The file was kept. Rename these on the KT-9 and make the backup again.";
}

}  // namespace kt9
