#include "app/qt_operation_ui.h"

#include <QDialog>
#include <QString>

namespace kt9 {

void ProgressDlgTarget::Open() {
  dialog_ = std::make_unique<CProgressDlg>();
  dialog_->CreateModeless(owner_);
  dialog_->ProcessPendingMessages();
  dialog_->SetBarStep(1);
}

// The window comes up once the operation has given it its first status or
// range, so it never shows its template texts in place of a status.
void ProgressDlgTarget::Reveal() {
  if (QDialog* window = dialog_->Window(); window != nullptr && !window->isVisible()) dialog_->ShowWindow();
}

// Destroying the object takes the window with it and enables the main
// window again.
void ProgressDlgTarget::Close() { dialog_.reset(); }

void ProgressDlgTarget::SetStatus(const std::string& text) {
  if (!dialog_) return;
  dialog_->ShowStatusText(QString::fromStdString(text));
  Reveal();
}

void ProgressDlgTarget::SetRange(int lower, int upper) {
  if (!dialog_) return;
  dialog_->SetBarRange(lower, upper);
  Reveal();
}

void ProgressDlgTarget::SetPosition(int position) {
  if (!dialog_) return;
  dialog_->SetBarPosition(position);
  Reveal();
}

void ProgressDlgTarget::Advance() {
  if (!dialog_) return;
  dialog_->AdvanceBar();
  Reveal();
}

void ProgressDlgTarget::Pump() {
  if (dialog_) dialog_->ProcessPendingMessages();
}

}  // namespace kt9
