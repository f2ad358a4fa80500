// kt9 boot-info and kt9 update: the update page's Verify and Upgrade on the
// terminal, for a pedal started in programming mode.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>

#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "firmware/boot_status.h"
#include "firmware/update_procedure.h"

namespace kt9::cli {
namespace {

struct UpdateOptions {
  std::string hexFile;
  bool restart = false;
  bool noRestart = false;
  bool verifyAnyhow = false;
};

bool EndsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// The terminal, with the update's questions answered from the options by
// what they ask: the restart after success or after a failure, and the
// failure report's "Verify anyhow?". A question without an option is asked
// on the terminal (No when there is none).
class UpdateUi : public OperationUi {
 public:
  UpdateUi(TerminalUi& terminal, const UpdateOptions& options) : terminal_(terminal) {
    if (options.restart) restart_ = true;
    if (options.noRestart) restart_ = false;
    if (options.verifyAnyhow) verifyAnyhow_ = true;
  }

  void ShowMessage(const std::string& text) override { terminal_.ShowMessage(text); }
  bool AskYesNo(const std::string& text) override {
    terminal_.yesNoAnswer = std::nullopt;
    if (text == kRestartNowQuestion || text == kRestartQuestion) terminal_.yesNoAnswer = restart_;
    if (EndsWith(text, kVerifyAnyhowEnding)) terminal_.yesNoAnswer = verifyAnyhow_;
    return terminal_.AskYesNo(text);
  }
  std::optional<std::string> AskSavePath(const std::string& initialPath) override {
    return terminal_.AskSavePath(initialPath);
  }
  std::optional<std::string> AskOpenPath() override { return terminal_.AskOpenPath(); }
  void ProgressOpen() override { terminal_.ProgressOpen(); }
  void ProgressClose() override { terminal_.ProgressClose(); }
  void ProgressSetStatus(const std::string& text) override { terminal_.ProgressSetStatus(text); }
  void ProgressSetRange(int lower, int upper) override { terminal_.ProgressSetRange(lower, upper); }
  void ProgressSetPosition(int position) override { terminal_.ProgressSetPosition(position); }
  void ProgressAdvance() override { terminal_.ProgressAdvance(); }
  void PumpMessages() override { terminal_.PumpMessages(); }

 private:
  TerminalUi& terminal_;
  std::optional<bool> restart_;
  std::optional<bool> verifyAnyhow_;
};

// The page's Verify: open the link, ask the bootloader, print the status.
std::optional<BootStatus> Verify(Communicator& link, TerminalUi& ui) {
  if (!link.Open(&ui)) {
    if (!link.OpenHint().empty()) std::fprintf(stderr, "%s\n", link.OpenHint().c_str());
    ui.ShowMessage(kCommunicationClosed);
    return std::nullopt;
  }
  BootStatus status = CheckBootloader(link);
  std::printf("%s\n", status.text.c_str());
  std::fflush(stdout);
  return status;
}

int ShowBootInfo(const CliContext& ctx) {
  TerminalUi ui;
  Communicator link(ctx.Link());
  const std::optional<BootStatus> status = Verify(link, ui);
  return status && status->found ? kExitOk : kExitFailure;
}

int Update(const CliContext& ctx, const UpdateOptions& options) {
  TerminalUi terminal;
  Communicator link(ctx.Link());
  const std::optional<BootStatus> status = Verify(link, terminal);
  if (!status) return kExitFailure;
  UpdateRequest request;
  request.status = status->text;  // the update refuses unless it says OK
  request.firmwarePath = options.hexFile;
  UpdateUi ui(terminal, options);
  ui.ProgressOpen();
  ui.ProgressSetStatus("Writing the firmware");
  const bool completed = RunUpdate(link, request, ui);
  ui.ProgressClose();
  return completed ? kExitOk : kExitFailure;
}

}  // namespace

void AddFirmwareCommands(CLI::App& app, CliContext& ctx) {
  app.add_subcommand("boot-info", "Ask the bootloader of a pedal in programming mode for its versions")
      ->callback([&ctx] { ctx.exitCode = ShowBootInfo(ctx); });

  auto options = std::make_shared<UpdateOptions>();
  CLI::App* update = app.add_subcommand("update", "Program the pedal's firmware from an Intel HEX file");
  update->add_option("HEXFILE", options->hexFile, "The firmware file")->required();
  CLI::Option* restart = update->add_flag("--restart", options->restart, "Restart the pedal when the update is done");
  CLI::Option* noRestart = update->add_flag("--no-restart", options->noRestart, "Leave the pedal in programming mode");
  restart->excludes(noRestart);
  update->add_flag("--verify-anyhow", options->verifyAnyhow,
                   "After a failure, declare the firmware verified all the same");
  update->callback([&ctx, options] { ctx.exitCode = Update(ctx, *options); });
}

}  // namespace kt9::cli
