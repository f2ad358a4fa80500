// CKT9AssistantDlg: the main window. It holds the property sheet with the
// pages, placed where the designed layout marks it, and the "Quit" button;
// the about box hangs off the window's platform entry (see platform_shell.h).
#pragma once

#include <QDialog>

namespace kt9 {

class CKT9PropertySheet;
struct ProgramState;

class CKT9AssistantDlg : public QDialog {
 public:
  explicit CKT9AssistantDlg(ProgramState& state, QWidget* parent = nullptr);

  CKT9PropertySheet* Sheet() const { return sheet_; }
  void ShowAboutBox();

 protected:
  // A disabled window (a backup or restore is running) is not closed: the
  // operation must be allowed to finish writing the pedal or the file.
  void closeEvent(QCloseEvent* event) override;

 private:
  CKT9PropertySheet* sheet_;
};

}  // namespace kt9
