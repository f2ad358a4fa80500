// An OperationUi that records what an operation shows and answers its
// questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "tests/support/silent_ui.h"

namespace kt9::test {

class RecordingUi : public SilentUi {
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
};

}  // namespace kt9::test
