// The operations' prompts answered from a script, with a record of what the
// operation showed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/silent_ui.h"

namespace kt9::test {

// Answers the prompts from a script and records what the operation showed.
class ScriptedUi : public SilentUi {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> statuses;
  std::optional<std::string> savePath, openPath;
  std::function<void()> onSavePrompt;  // runs inside the save prompt
  int savePrompts = 0, openPrompts = 0;
  int opened = 0, closed = 0, advances = 0;
  std::string saveInitialPath;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
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
  void ProgressAdvance() override { ++advances; }
};

}  // namespace kt9::test
