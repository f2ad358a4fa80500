// The pages' implementation of OperationUi: modal boxes and file prompts
// through a Prompts object, progress through a pluggable ProgressTarget (the
// "Please wait" window for backup and restore, a page's own bar for the
// firmware update).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/progress_dlg.h"
#include "app/prompts.h"
#include "common/operation_ui.h"

class QWidget;

namespace kt9 {

class ProgressTarget {
 public:
  virtual ~ProgressTarget() = default;
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void Advance() = 0;
  virtual void Pump() = 0;
};

// A CProgressDlg owned by `owner` (a page) for as long as the operation keeps
// it open; the main window stays disabled meanwhile. Events are only pumped
// while the window exists, because only then is the main window disabled
// against a second click.
class ProgressDlgTarget : public ProgressTarget {
 public:
  explicit ProgressDlgTarget(QWidget* owner) : owner_(owner) {}
  void Open() override;
  void Close() override;
  void SetStatus(const std::string& text) override;
  void SetRange(int lower, int upper) override;
  void SetPosition(int position) override;
  void Advance() override;
  void Pump() override;

  CProgressDlg* Dialog() const { return dialog_.get(); }  // nullptr while closed

 private:
  void Reveal();

  QWidget* owner_;
  std::unique_ptr<CProgressDlg> dialog_;
};

class QtOperationUi : public OperationUi {
 public:
  // `parent` owns the boxes; both references must outlive this object.
  QtOperationUi(QWidget* parent, Prompts& prompts, ProgressTarget& progress)
      : parent_(parent), prompts_(prompts), progress_(progress) {}

  void ShowMessage(const std::string& text) override { prompts_.Message(parent_, text); }
  bool AskYesNo(const std::string& text) override { return prompts_.Question(parent_, text); }
  std::optional<std::string> AskSavePath(const std::string& initialPath) override {
    return prompts_.SavePath(parent_, initialPath);
  }
  std::optional<std::string> AskOpenPath() override { return prompts_.OpenPath(parent_); }
  void ProgressOpen() override { progress_.Open(); }
  void ProgressClose() override { progress_.Close(); }
  void ProgressSetStatus(const std::string& text) override { progress_.SetStatus(text); }
  void ProgressSetRange(int lower, int upper) override { progress_.SetRange(lower, upper); }
  void ProgressSetPosition(int position) override { progress_.SetPosition(position); }
  void ProgressAdvance() override { progress_.Advance(); }
  void PumpMessages() override { progress_.Pump(); }

 private:
  QWidget* parent_;
  Prompts& prompts_;
  ProgressTarget& progress_;
};

}  // namespace kt9
