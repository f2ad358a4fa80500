// The kt9 subcommands. Each group registers its subcommands on the CLI11 app;
// a subcommand's callback leaves its exit status in the context.
#pragma once

#include <string>

#include "link/communicator.h"

namespace CLI {
class App;
}

namespace kt9::cli {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a device failure, a failed operation, a bad file
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

struct CliContext {
  std::string port;  // --port PATH; empty: KT9_PORT, then discovery
  bool trace = false;
  int exitCode = kExitOk;

  // The link options every operation of this run uses.
  LinkOptions Link() const;
};

void AddLinkCommands(CLI::App& app, CliContext& ctx);      // ports, info
void AddFileCommands(CLI::App& app, CliContext& ctx);      // show, convert
void AddBackupCommands(CLI::App& app, CliContext& ctx);    // backup, restore
void AddFirmwareCommands(CLI::App& app, CliContext& ctx);  // boot-info, update

}  // namespace kt9::cli
