#include "cli/terminal_ui.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace kt9::cli {

std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

TerminalUi::TerminalUi() : barOnTerminal_(isatty(STDERR_FILENO) != 0) {}

void TerminalUi::EndBarLine() {
  if (barDrawn_) {
    std::fputc('\n', stderr);
    barDrawn_ = false;
  }
}

void TerminalUi::ShowMessage(const std::string& text) {
  ++messages_;
  EndBarLine();
  std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
  std::fflush(stderr);
}

bool TerminalUi::AskYesNo(const std::string& text) {
  const bool first = questions_++ == 0;
  std::optional<bool> preset = first ? firstQuestionAnswer : laterQuestionsAnswer;
  if (!preset) preset = yesNoAnswer;
  EndBarLine();
  std::fprintf(stderr, "%s [y/N] ", ForTerminal(text).c_str());
  if (preset) {
    std::fprintf(stderr, "%s\n", *preset ? "y" : "n");
    return *preset;
  }
  if (isatty(STDIN_FILENO) == 0) {
    std::fprintf(stderr, "n (not a terminal)\n");
    return false;
  }
  std::fflush(stderr);
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

std::optional<std::string> TerminalUi::AskSavePath(const std::string&) { return savePath; }
std::optional<std::string> TerminalUi::AskOpenPath() { return openPath; }

void TerminalUi::ProgressOpen() {
  lower_ = 0;
  upper_ = 100;
  position_ = 0;
  status_.clear();
}

void TerminalUi::ProgressClose() { EndBarLine(); }

void TerminalUi::ProgressSetStatus(const std::string& text) {
  status_ = text;
  DrawBar();
}

void TerminalUi::ProgressSetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  DrawBar();
}

void TerminalUi::ProgressSetPosition(int position) {
  position_ = position;
  DrawBar();
}

void TerminalUi::ProgressAdvance() {
  ++position_;
  DrawBar();
}

void TerminalUi::DrawBar() {
  if (!barOnTerminal_) return;
  constexpr int kWidth = 40;
  const int span = std::max(1, upper_ - lower_);
  const int done = std::clamp(position_ - lower_, 0, span);
  const int filled = done * kWidth / span;
  std::fprintf(stderr, "\r%-22.22s [%s%s] %3d%%", status_.c_str(), std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), done * 100 / span);
  std::fflush(stderr);
  barDrawn_ = true;
}

}  // namespace kt9::cli
