// An OperationUi that shows nothing and answers No and Cancel to everything:
// the base of the tests' and benchmarks' front ends, which override only what
// they record or answer.
#pragma once

#include <optional>
#include <string>

#include "common/operation_ui.h"

namespace kt9::test {

class SilentUi : public OperationUi {
 public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
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
