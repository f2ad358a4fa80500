#include "app/qt_operation_ui.h"

#include <QString>

namespace kt9 {

void ProgressDlgTarget::Open() {
  dialog_ = std::make_unique<CProgressDlg>();
  dialog_->CreateModeless(owner_);
  dialog_->ProcessPendingMessages();
  dialog_->SetBarStep(1);
  dialog_->ShowWindow();
}

// Destroying the object takes the window with it and enables the main
// window again.
void ProgressDlgTarget::Close() { dialog_.reset(); }

void ProgressDlgTarget::SetStatus(const std::string& text) {
  if (dialog_) dialog_->ShowStatusText(QString::fromStdString(text));
}

void ProgressDlgTarget::SetRange(int lower, int upper) {
  if (dialog_) dialog_->SetBarRange(lower, upper);
}

void ProgressDlgTarget::SetPosition(int position) {
  if (dialog_) dialog_->SetBarPosition(position);
}

void ProgressDlgTarget::Advance() {
  if (dialog_) dialog_->AdvanceBar();
}

void ProgressDlgTarget::Pump() {
  if (dialog_) dialog_->ProcessPendingMessages();
}

}  // namespace kt9
