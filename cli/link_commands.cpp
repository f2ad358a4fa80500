#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace kt9::cli {

void AddLinkCommands(CLI::App& /*app*/, CliContext& /*ctx*/) {}

}  // namespace kt9::cli
