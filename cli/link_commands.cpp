// kt9 ports and kt9 info: which serial device is the pedal, and what firmware
// it runs.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "link/device_requests.h"
#include "link/port_list.h"

namespace kt9::cli {
namespace {

// The record layout a version word selects, in the words kt9 info prints.
const char* LayoutName(uint16_t versionWord) {
  if (versionWord > 0x02FF) return "not supported (Sorry this program does not suport your firmware version)";
  if (versionWord > 0x0104) return "extended";
  return "legacy";
}

void ShowPorts(const CliContext& ctx) {
  const LinkOptions options = ctx.Link();
  TerminalUi ui;
  const std::vector<SerialDevice> devices = ListSerialPorts(&ui);
  const std::optional<SerialDevice> pedal = FindPedalDevice(devices);
  if (devices.empty()) std::printf("No serial devices found.\n");
  for (const SerialDevice& device : devices) {
    const bool used = options.port.empty() && pedal && pedal->portName == device.portName;
    std::printf("%s %-20s %s\n", used ? "*" : " ", device.portName.c_str(), device.deviceName.c_str());
  }
  if (!options.port.empty()) {
    std::printf("The pedal is taken to be on %s (--port or KT9_PORT).\n", options.port.c_str());
  } else if (pedal) {
    std::printf("* the pedal's port\n");
  } else {
    std::printf("No serial device looks like the pedal.\n");
  }
}

int ShowInfo(const CliContext& ctx) {
  TerminalUi ui;
  Communicator link(ctx.Link());
  if (!link.Open(&ui)) {
    if (!link.OpenHint().empty()) std::fprintf(stderr, "%s\n", link.OpenHint().c_str());
    return kExitFailure;
  }
  const std::optional<uint16_t> version = ReadVersionWord(link);
  if (!version) {
    std::fprintf(stderr,
                 "Could not read the firmware version word from the pedal on %s; backup and restore would "
                 "go on with the legacy layout.\n",
                 link.PortName().c_str());
    return kExitFailure;
  }
  std::printf("Port: %s\n", link.PortName().c_str());
  std::printf("Firmware version word: 0x%04X\n", *version);
  std::printf("Record layout: %s\n", LayoutName(*version));
  return kExitOk;
}

}  // namespace

void AddLinkCommands(CLI::App& app, CliContext& ctx) {
  app.add_subcommand("ports", "List the serial devices and mark the one the pedal would use")
      ->callback([&ctx] {
        ShowPorts(ctx);
        ctx.exitCode = kExitOk;
      });
  app.add_subcommand("info", "Show the pedal's firmware version word and the record layout it selects")
      ->callback([&ctx] { ctx.exitCode = ShowInfo(ctx); });
}

}  // namespace kt9::cli
