// The toolkit-free face of a long device operation (backup, restore, update).
//
// The operations never talk to a window or a terminal directly: they show
// messages, ask questions, ask for file names and report progress through
// this interface. The Qt pages and the command-line tool each implement it,
// so both front ends run the same operation code, and tests drive it with
// scripted answers.
#pragma once

#include <optional>
#include <string>

namespace kt9 {

class OperationUi {
 public:
  virtual ~OperationUi() = default;

  // A modal message with an OK button and no icon. Text is UTF-8 and may hold
  // "\r\n" line breaks and tabs, exactly as the operation composed it.
  virtual void ShowMessage(const std::string& text) = 0;

  // A modal Yes/No question; true means Yes.
  virtual bool AskYesNo(const std::string& text) = 0;

  // The backup's save prompt: filter "KT-9 Backup (*.kt9)|*.kt9||", starting
  // from `initialPath` (lastBackupPath). Nothing when the user cancels.
  virtual std::optional<std::string> AskSavePath(const std::string& initialPath) = 0;

  // The restore's open prompt: same filter, the file must exist.
  virtual std::optional<std::string> AskOpenPath() = 0;

  // Progress. A backup or restore opens a progress window for its duration
  // (ProgressOpen ... ProgressClose); the firmware update drives the progress
  // bar of its page without opening anything. Range and position are in steps.
  virtual void ProgressOpen() = 0;
  virtual void ProgressClose() = 0;
  virtual void ProgressSetStatus(const std::string& text) = 0;
  virtual void ProgressSetRange(int lower, int upper) = 0;
  virtual void ProgressSetPosition(int position) = 0;
  virtual void ProgressAdvance() = 0;  // one step

  // Lets the front end repaint and react between two device requests.
  virtual void PumpMessages() = 0;
};

}  // namespace kt9
