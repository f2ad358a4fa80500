// An OperationUi that records what an operation shows and answers its
// questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/operation_ui.h"

namespace kt9::test {

class RecordingUi : public OperationUi {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;  // AskYesNo answers in order; No when exhausted

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> AskSavePath(const std::string&) override { return std::nullopt; }
  std::optional<std::string> AskOpenPath() override { return std::nullopt; }
  void ProgressOpen() override {}
  void ProgressClose() override {}
  void ProgressSetStatus(const std::string&) override {}
  void ProgressSetRange(int, int) override {}
  void ProgressSetPosition(int) override {}
  void ProgressAdvance() override {}
  void PumpMessages() override {}
};

}  // namespace kt9::test
