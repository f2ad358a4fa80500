// kt9: the command-line face of KT-9 Assistant.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace kt9::cli {

LinkOptions CliContext::Link() const {
  LinkOptions options = LinkOptions::FromEnvironment();
  if (!port.empty()) options.port = port;
  if (trace) options.trace = true;
  return options;
}

}  // namespace kt9::cli

int main(int argc, char** argv) {
  using namespace kt9::cli;
  CLI::App app{"KT-9 Assistant: backup, restore and firmware update of the KT-9 pedal", "kt9"};
  app.set_version_flag("--version", "kt9 2.4");
  app.require_subcommand(1);
  CliContext ctx;
  app.add_option("--port", ctx.port, "Serial port of the pedal (default: $KT9_PORT, then discovery)");
  app.add_flag("--trace", ctx.trace, "Write every frame sent and received to standard error");

  AddLinkCommands(app, ctx);
  AddFileCommands(app, ctx);
  AddBackupCommands(app, ctx);
  AddFirmwareCommands(app, ctx);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  return ctx.exitCode;
}
