#include "backup/backup_operation.h"

#include <vector>

#include "backup/backup_check.h"
#include "backup/backup_writer.h"
#include "backup/file_io.h"
#include "backup/operation_steps.h"
#include "link/device_requests.h"

namespace kt9 {

namespace {

struct PedalRecords {
  RecordLayout layout;
  Record system;
  bool systemRead = false;
  std::vector<Record> patches;  // those read, in slot order
};

// The system record, then every patch slot, one request each. A patch that
// cannot be read is left out and the next is tried, so the judgement can say
// what is missing; the bar moves on the reads that succeed.
PedalRecords ReadPedalRecords(Communicator& link, OperationUi& ui, RecordLayout layout) {
  PedalRecords records{layout, MakeSystemRecord(layout), false, {}};
  if (ReadBlock(link, CMD_READ, REPLY_READ, kSystemAddress, records.system)) {
    records.systemRead = true;
    ui.ProgressAdvance();
  }
  ui.PumpMessages();
  ui.ProgressSetStatus("Reading PATCH data");
  for (int slot = 0; slot < kPatchSlots; ++slot) {
    Record patch = MakePatchRecord(layout);
    const bool read = ReadBlock(link, CMD_READ, REPLY_READ, *PatchAddress(slot), patch);
    SanitizePatchName(patch);
    if (read) {
      records.patches.push_back(std::move(patch));
      ui.ProgressAdvance();
    }
    ui.PumpMessages();
  }
  return records;
}

// Nothing but a complete set is saved: a backup without a patch would
// restore an empty slot over the owner's patch.
bool JudgeRecords(const PedalRecords& records, OperationUi& ui) {
  if (!records.systemRead) {
    ui.ShowMessage("Failed: Could not read the System settings from the KT-9 Device");
    return false;
  }
  if (records.patches.size() < kPatchSlots) {
    ui.ShowMessage("Failed: Not all patches could be read from the KT-9 Device");
    return false;
  }
  return true;
}

// Writes the file so that an older one at the path survives any failure,
// then reads it back as a restore would. A backup only counts once both
// hold.
bool SaveBackup(const std::string& path, const PedalRecords& records, OperationUi& ui) {
  std::string text;
  WriteBackupText(records.layout, records.system, records.patches, text);
  std::string error;
  if (!WriteFileAtomically(path, text, &error)) {
    ui.ShowMessage("Failed: The backup could not be saved.\r\n" + error +
                   "\r\nA file that was there before is unchanged.");
    return false;
  }
  const std::optional<std::string> saved = ReadWholeFile(path, &error);
  if (!saved || *saved != text) {
    ui.ShowMessage("Warning: The backup was saved to " + path + ", but it does not read back as written" +
                   (saved ? std::string(".") : ": " + error + ".") + " Make the backup again, to another place.");
    return false;
  }
  const BackupCheck check = CheckBackupText(*saved, records.layout, records.system, records.patches);
  if (!check.Good(records.patches.size())) {
    ui.ShowMessage(DescribeBackupDamage(path, check, records.patches));
    return false;
  }
  return true;
}

}  // namespace

OperationResult RunBackup(OperationUi& ui, const LinkOptions& options, std::string& lastBackupPath,
                          BackupSummary* summary) {
  Communicator link(options);
  if (!link.Open(&ui)) {
    ui.ShowMessage(kNoContactMessage);
    return OperationResult::Failed;
  }
  OpenProgress(ui, "Reading SYSTEM data");
  const std::optional<RecordLayout> layout = ChoosePedalLayout(link, ui);
  if (!layout) {
    link.Close();
    ui.ProgressClose();
    return OperationResult::Failed;
  }
  const PedalRecords records = ReadPedalRecords(link, ui, *layout);
  const bool complete = JudgeRecords(records, ui);
  link.Close();  // the pedal is free again before the user is asked anything
  if (!complete) {
    ui.ProgressClose();
    return OperationResult::Failed;
  }
  const std::optional<std::string> path = ui.AskSavePath(lastBackupPath);
  if (!path) {
    ui.ProgressClose();
    return OperationResult::Cancelled;
  }
  lastBackupPath = *path;
  const bool saved = SaveBackup(*path, records, ui);
  ui.ProgressClose();
  if (!saved) return OperationResult::Failed;
  if (summary) *summary = BackupSummary{*path, records.layout, records.patches.size()};
  return OperationResult::Completed;
}

}  // namespace kt9
