#include "app/progress_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "app/dialog_units.h"

namespace kt9 {

// The window itself: Enter does nothing, and Esc or the close box leave a
// cancel request with the owning object instead of closing.
class CProgressDlg::ProgressWindow : public QDialog {
 public:
  ProgressWindow(CProgressDlg& dialog, QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint),
        dialog_(dialog) {}

  void accept() override {}
  void reject() override { dialog_.cancelRequest_ = 1; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    reject();
    event->ignore();
  }

 private:
  CProgressDlg& dialog_;
};

namespace {
constexpr const char* kCaption = "Please wait";
constexpr const char* kTemplateText = "Static";
}  // namespace

// Also when the window went with its parent page, so the main window is
// never left disabled behind it.
CProgressDlg::~CProgressDlg() {
  if (window_ || ownerDisabled_ != 0) DestroyWindow();
}

bool CProgressDlg::CreateModeless(QWidget* owner) {
  if (window_) return false;
  owner_ = owner != nullptr ? owner->window() : nullptr;
  if (owner_ && owner_->isEnabled()) {
    owner_->setEnabled(false);
    ownerDisabled_ = 1;
  }
  window_ = new ProgressWindow(*this, owner);
  // A child window takes over its parent's disabled state; this one must
  // stay enabled so that Esc and the close box still reach it.
  window_->setEnabled(true);
  InitDialog();
  return true;
}

bool CProgressDlg::DestroyWindow() {
  // The owner is enabled before the window goes, so that activation returns
  // to it rather than to some other program's window.
  if (ownerDisabled_ != 0 && owner_) owner_->setEnabled(true);
  ownerDisabled_ = 0;
  if (!window_) return false;
  delete window_.data();
  return true;
}

void CProgressDlg::InitDialog() {
  const DialogUnits units(window_->font());
  window_->setWindowTitle(QString::fromUtf8(kCaption));
  window_->setFixedSize(units.Size(232, 48));

  status_ = new QLabel(QString::fromUtf8(kTemplateText), window_);
  status_->setObjectName("status");
  units.Place(status_, 5, 5, 220, 15);

  bar_ = new QProgressBar(window_);
  bar_->setObjectName("bar");
  bar_->setTextVisible(false);
  units.Place(bar_, 5, 30, 220, 10);

  percent_ = new QLabel(QString::fromUtf8(kTemplateText), window_);
  percent_->setObjectName("percent");
  percent_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  // The figure's cell is 19 units wide; it grows about its centre so "100%"
  // is never cut in a wider font.
  const QRect cell = units.Rect(105, 20, 19, 8);
  const int width = std::max(cell.width(), percent_->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 2);
  percent_->setGeometry(cell.center().x() - width / 2, cell.y(), width, cell.height());

  // The initial range goes to the bar in its 16-bit form.
  SetBarLimits(static_cast<uint16_t>(lower_), static_cast<uint16_t>(upper_));
  MoveBar(lower_);
}

int CProgressDlg::TakeCancelRequest() {
  ProcessPendingMessages();
  const int request = cancelRequest_;
  cancelRequest_ = 0;
  return request;
}

void CProgressDlg::SetCancelRequest(int value) { cancelRequest_ = value; }

void CProgressDlg::ShowStatusText(const QString& text) {
  ProcessPendingMessages();
  if (status_) status_->setText(text);
}

void CProgressDlg::SetBarRange(int32_t lower, int32_t upper) {
  lower_ = lower;
  upper_ = upper;
  recordedPosition_ = lower;
  if (bar_) SetBarLimits(lower, upper);
}

int32_t CProgressDlg::SetBarStep(int32_t step) {
  const int32_t previous = step_;
  step_ = step;
  return previous;
}

int32_t CProgressDlg::SetBarPosition(int32_t position) {
  if (!bar_ || barPosition_ == position) return 0;
  ProcessPendingMessages();
  const int32_t previous = barPosition_;
  MoveBar(position);
  RefreshPercentText(position);
  return previous;
}

int32_t CProgressDlg::AdvanceBar() {
  ProcessPendingMessages();
  if (!bar_ || upper_ <= recordedPosition_) return upper_;
  recordedPosition_ = barPosition_;
  // A bar stepped past its upper bound starts again from its lower bound.
  const int64_t lower = barLower_, upper = barUpper_;
  int64_t next = static_cast<int64_t>(recordedPosition_) + step_;
  if (next > upper && upper > lower) next = lower + (next - lower) % (upper - lower);
  MoveBar(static_cast<int32_t>(next));
  RefreshPercentText(static_cast<int32_t>(static_cast<int64_t>(recordedPosition_) + step_));
  return recordedPosition_;
}

void CProgressDlg::ProcessPendingMessages() {
  if (window_) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CProgressDlg::ShowBar(bool show) {
  if (!bar_) return;
  bar_->setVisible(show);
  percent_->setVisible(show);
}

void CProgressDlg::RefreshPercentText(int32_t position) {
  if (!percent_) return;
  const int64_t span = static_cast<int64_t>(upper_) - lower_;
  // An empty range has no percentage; leave the figure as it is rather than
  // divide by zero.
  if (span == 0) return;
  int64_t percent = (static_cast<int64_t>(position) - lower_) * 100 / span;
  if (percent != 100) percent %= 100;
  const QString text = QStringLiteral("%1%").arg(percent);
  if (percent_->text() != text) percent_->setText(text);
}

void CProgressDlg::ShowWindow() {
  if (window_) window_->show();
}

QDialog* CProgressDlg::Window() const { return window_.data(); }

void CProgressDlg::SetBarLimits(int32_t lower, int32_t upper) {
  barLower_ = lower;
  barUpper_ = std::max(lower, upper);
  bar_->setRange(barLower_, barUpper_);
  MoveBar(barPosition_);
}

void CProgressDlg::MoveBar(int32_t position) {
  barPosition_ = std::clamp(position, barLower_, barUpper_);
  bar_->setValue(barPosition_);
}

}  // namespace kt9
