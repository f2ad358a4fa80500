// The terminal's implementation of the operations' prompts and progress.
//
// Messages go to standard error, the file given on the command line takes the
// place of the file prompts, questions are answered from the command line's
// options or asked on the terminal, and progress is a bar on standard error
// when that is a terminal (nothing otherwise).
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "common/operation_ui.h"

namespace kt9::cli {

class TerminalUi : public OperationUi {
 public:
  TerminalUi();

  // Answers for the prompts. A question without a preset answer is asked on
  // the terminal, or answered No when standard input is not a terminal.
  std::optional<std::string> savePath;
  std::optional<std::string> openPath;
  std::optional<bool> yesNoAnswer;           // every question
  std::optional<bool> firstQuestionAnswer;   // overrides yesNoAnswer for the first question
  std::optional<bool> laterQuestionsAnswer;  // overrides yesNoAnswer after the first

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  std::optional<std::string> AskSavePath(const std::string& initialPath) override;
  std::optional<std::string> AskOpenPath() override;
  void ProgressOpen() override;
  void ProgressClose() override;
  void ProgressSetStatus(const std::string& text) override;
  void ProgressSetRange(int lower, int upper) override;
  void ProgressSetPosition(int position) override;
  void ProgressAdvance() override;
  void PumpMessages() override {}

  int MessagesShown() const { return messages_; }

 private:
  void DrawBar();
  void EndBarLine();

  bool barOnTerminal_;
  bool barDrawn_ = false;
  std::string status_;
  int lower_ = 0, upper_ = 100, position_ = 0;
  int questions_ = 0;
  int messages_ = 0;
};

// Text as a terminal shows it: "\r\n" becomes "\n".
std::string ForTerminal(const std::string& text);

}  // namespace kt9::cli
