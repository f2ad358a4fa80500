// kt9 backup and kt9 restore: the page's operations with the file from the
// command line in place of the file prompts.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "backup/backup_operation.h"
#include "backup/restore_operation.h"
#include "cli/commands.h"
#include "cli/terminal_ui.h"

namespace kt9::cli {

namespace {

int ExitStatus(OperationResult result) { return result == OperationResult::Completed ? kExitOk : kExitFailure; }

int Backup(const CliContext& ctx, const std::string& file) {
  TerminalUi ui;
  ui.savePath = file;
  std::string lastBackupPath = file;
  BackupSummary summary;
  const OperationResult result = RunBackup(ui, ctx.Link(), lastBackupPath, &summary);
  if (result == OperationResult::Completed) {
    std::printf("Saved the system settings and %zu patches (%s layout) to %s\n", summary.patches,
                LayoutName(summary.layout), summary.path.c_str());
  }
  return ExitStatus(result);
}

int Restore(const CliContext& ctx, const std::string& file) {
  TerminalUi ui;
  ui.openPath = file;
  std::string lastBackupPath;
  return ExitStatus(RunRestore(ui, ctx.Link(), lastBackupPath));
}

}  // namespace

void AddBackupCommands(CLI::App& app, CliContext& ctx) {
  auto backupFile = std::make_shared<std::string>();
  auto* backup = app.add_subcommand("backup", "Read the pedal's system settings and 99 patches into a KT-9 Backup file");
  backup->add_option("FILE", *backupFile, "The backup file to write (replaced once the new one is complete)")
      ->required();
  backup->callback([&ctx, backupFile] { ctx.exitCode = Backup(ctx, *backupFile); });

  auto restoreFile = std::make_shared<std::string>();
  auto* restore = app.add_subcommand("restore", "Write a KT-9 Backup file into the pedal, overwriting what is there");
  restore->add_option("FILE", *restoreFile, "The backup file to read")->required();
  restore->callback([&ctx, restoreFile] { ctx.exitCode = Restore(ctx, *restoreFile); });
}

}  // namespace kt9::cli
