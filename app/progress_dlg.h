// CProgressDlg: the small modeless "Please wait" window that shows a status
// line, a bar and a percent figure while a backup or restore runs to its end
// inside a button click. While the window exists its owner's top-level
// window is disabled, so no second operation can be started; the operation
// keeps the screen alive by calling ProcessPendingMessages between its
// blocking steps. Closing the window or pressing Esc only records a cancel
// request: the window stays, and it is up to the operation to look.
#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>

class QDialog;
class QLabel;
class QProgressBar;
class QWidget;

namespace kt9 {

class CProgressDlg {
 public:
  CProgressDlg() = default;
  virtual ~CProgressDlg();
  CProgressDlg(const CProgressDlg&) = delete;
  CProgressDlg& operator=(const CProgressDlg&) = delete;

  // Disables the owner's top-level window (when it is enabled) and creates
  // the window, hidden, with `owner` as its parent. False when a window
  // already exists; the owner is then left as it was.
  virtual bool CreateModeless(QWidget* owner);
  // Re-enables the owner if this object disabled it, then destroys the window.
  virtual bool DestroyWindow();

  virtual int TakeCancelRequest();  // pumps, returns the request and clears it
  virtual void SetCancelRequest(int value);
  virtual void ShowStatusText(const QString& text);
  virtual void SetBarRange(int32_t lower, int32_t upper);
  virtual int32_t SetBarStep(int32_t step);  // previous step
  // Previous position, or 0 and nothing else when the bar already stands there.
  virtual int32_t SetBarPosition(int32_t position);
  // One step while the bar's recorded position is below the upper bound;
  // returns the position before the step, or the upper bound when it did nothing.
  virtual int32_t AdvanceBar();
  // Dispatches every waiting event of the thread, while the window exists.
  virtual void ProcessPendingMessages();
  virtual void ShowBar(bool show);

  // Percent of `position` in the range, in 64-bit arithmetic, truncated;
  // anything but exactly 100 is taken modulo 100, so a bar that ran past its
  // end starts again from 0%. The figure is only touched when it changes.
  void RefreshPercentText(int32_t position);

  void ShowWindow();
  QDialog* Window() const;  // nullptr when there is no window
  bool KeepsOwnerDisabled() const { return ownerDisabled_ != 0; }
  int CancelRequest() const { return cancelRequest_; }

 private:
  class ProgressWindow;
  void InitDialog();
  void SetBarLimits(int32_t lower, int32_t upper);
  void MoveBar(int32_t position);

  QPointer<QWidget> owner_;
  QPointer<ProgressWindow> window_;
  QPointer<QProgressBar> bar_;
  QPointer<QLabel> status_;
  QPointer<QLabel> percent_;
  // What the bar control holds, kept here as the control keeps it: its range
  // and a position that always lies inside that range.
  int32_t barLower_ = 0;
  int32_t barUpper_ = 100;
  int32_t barPosition_ = 0;
  int32_t lower_ = 0;
  int32_t upper_ = 100;
  int32_t step_ = 10;
  int cancelRequest_ = 0;
  int ownerDisabled_ = 0;
  int32_t recordedPosition_ = 0;
};

}  // namespace kt9
