#include "backup/restore_operation.h"

#include <optional>

#include "backup/backup_reader.h"
#include "backup/file_io.h"
#include "backup/layout_conversion.h"
#include "backup/operation_steps.h"
#include "link/device_requests.h"

namespace kt9 {

namespace {

constexpr const char* kNothingWritten = "Nothing was written to the KT-9 Device.";

// Brings records of the file's layout into the pedal's.
void ConvertTo(RecordLayout pedal, BackupContents& contents) {
  if (contents.layout == pedal) return;
  if (pedal == RecordLayout::Extended) {
    contents.system = SystemToExtended(contents.system);
    contents.patches = PatchListToExtended(contents.patches);
  } else {
    contents.system = SystemToLegacy(contents.system);
    contents.patches = PatchListToLegacy(contents.patches);
  }
  contents.layout = pedal;
}

// The file's records in the pedal's layout, or nothing (with a message) when
// the file must not be written. Everything is settled before the first write,
// so a bad file never leaves the pedal half overwritten.
std::optional<BackupContents> LoadForPedal(const std::string& path, RecordLayout pedal, OperationUi& ui) {
  std::string error;
  const std::optional<std::string> text = ReadWholeFile(path, &error);
  if (!text) {
    ui.ShowMessage("Failed: The backup file could not be read.\r\n" + error + "\r\n" + kNothingWritten);
    return std::nullopt;
  }
  std::optional<BackupContents> contents = ReadBackupText(*text);
  if (!contents) {
    ui.ShowMessage("Failed: " + path + " is not a KT-9 Backup file this program can read: " +
                   UnrecognisedBackupReason(*text) + ". " + kNothingWritten);
    return std::nullopt;
  }
  // More PATCH elements than slots is no file the writer makes, but what a
  // name holding "<PATCH>" reads as: the patches would land in the wrong
  // slots, and past the last slot lies memory that is not the patch area.
  if (contents->patches.size() > static_cast<std::size_t>(kPatchSlots)) {
    ui.ShowMessage("Failed: " + path + " holds " + std::to_string(contents->patches.size()) +
                   " patches, more than the 99 the KT-9 has room for, so the file was refused. " + kNothingWritten);
    return std::nullopt;
  }
  ConvertTo(pedal, *contents);
  return contents;
}

// Every record is tried; a failed one is counted and the next goes on, so
// the pedal ends up holding as much of the file as it took.
int WriteRecords(Communicator& link, OperationUi& ui, const BackupContents& contents) {
  OpenProgress(ui, "Writing SYSTEM data");
  int errors = WriteSystemRecord(link, contents.system) ? 0 : 1;
  ui.ProgressAdvance();
  ui.PumpMessages();
  ui.ProgressSetStatus("Writing PATCH data");
  for (uint16_t slot = 0; slot < contents.patches.size(); ++slot) {
    if (!WritePatchRecord(link, contents.patches[slot], slot)) ++errors;
    ui.ProgressAdvance();
    ui.PumpMessages();
  }
  return errors;
}

}  // namespace

std::string UnrecognisedBackupReason(std::string_view text) {
  if (text.find("<KT-9>") == std::string_view::npos) return "it has no <KT-9> element";
  uint8_t marker[2] = {};
  ReadWordElement(text, "sysconfig_id", marker, 0);
  return "its sysconfig_id is " + std::to_string(ReadU16(marker, 0)) +
         ", where 1000 (legacy layout) or 2000 (extended layout) is expected";
}

OperationResult RunRestore(OperationUi& ui, const LinkOptions& options, std::string& lastBackupPath) {
  Communicator link(options);
  if (!link.Open(&ui)) {
    ui.ShowMessage(kNoContactMessage);
    return OperationResult::Failed;
  }
  const std::optional<RecordLayout> layout = ChoosePedalLayout(link, ui);
  if (!layout) return OperationResult::Failed;
  const std::optional<std::string> path = ui.AskOpenPath();
  if (!path) return OperationResult::Cancelled;
  lastBackupPath = *path;
  const std::optional<BackupContents> contents = LoadForPedal(*path, *layout, ui);
  if (!contents) return OperationResult::Failed;
  const int errors = WriteRecords(link, ui, *contents);
  ui.ShowMessage(errors > 0 ? "Failed: Not all data could be written to the KT-9 Device"
                            : "Completed: All data written ok!");
  ui.ProgressClose();
  link.Close();
  return errors > 0 ? OperationResult::Failed : OperationResult::Completed;
}

}  // namespace kt9
