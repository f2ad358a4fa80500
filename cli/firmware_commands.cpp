#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace kt9::cli {

void AddFirmwareCommands(CLI::App& /*app*/, CliContext& /*ctx*/) {}

}  // namespace kt9::cli
