// The operations' prompts answered from a script, with a record of what the
// operation showed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/operation_ui.h"

namespace kt9::test {

// Answers the prompts from a script and records what the operation showed.
class ScriptedUi : public OperationUi {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> statuses;
  std::optional<std::string> savePath, openPath;
  std::function<void()> onSavePrompt;  // runs inside the save prompt
  int savePrompts = 0, openPrompts = 0;
  int opened = 0, closed = 0, advances = 0;
  std::string saveInitialPath;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string&) override { return false; }
  std::optional<std::string> AskSavePath(const std::string& initialPath) override {
    ++savePrompts;
    saveInitialPath = initialPath;
    if (onSavePrompt) onSavePrompt();
    return savePath;
  }
  std::optional<std::string> AskOpenPath() override {
    ++openPrompts;
    return openPath;
  }
  void ProgressOpen() override { ++opened; }
  void ProgressClose() override { ++closed; }
  void ProgressSetStatus(const std::string& text) override { statuses.push_back(text); }
  void ProgressSetRange(int, int) override {}
  void ProgressSetPosition(int) override {}
  void ProgressAdvance() override { ++advances; }
  void PumpMessages() override {}
};

}  // namespace kt9::test
