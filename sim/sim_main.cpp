// kt9-sim: a KT-9 pedal on a pseudo-terminal, for tests and demonstrations.
// Prints the path of the terminal side as the first line of standard output,
// then serves until SIGINT or SIGTERM.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "sim/bootloader_mode.h"
#include "sim/fault_plan.h"
#include "sim/normal_mode.h"
#include "sim/pty_link.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) { stopRequested = 1; }

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal ends the wait it interrupts
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

struct SimOptions {
  std::string linkPath;
  std::string memoryFile;
  std::string versionWord = "0x0105";
  unsigned lineRate = 0;
  unsigned splitGapMs = 150;
  std::vector<std::string> faults;
  kt9::sim::NormalModeOptions normal;
  kt9::sim::BootloaderOptions boot;
};

// A 16-bit word, decimal or 0x-prefixed hex.
std::optional<uint16_t> ParseWord(const std::string& text) {
  const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  uint16_t value = 0;
  const auto [ptr, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (first == last || error != std::errc{} || ptr != last) return std::nullopt;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kt9::sim;
  CLI::App app{"kt9-sim: a KT-9 pedal in normal mode on a pseudo-terminal. Prints the terminal's path as "
               "the first line of standard output, then serves until SIGINT or SIGTERM.",
               "kt9-sim"};
  SimOptions o;
  app.add_option("--link", o.linkPath, "Also make a symbolic link PATH to the terminal (removed at exit)")
      ->type_name("PATH");
  app.add_option("--memory", o.memoryFile,
                 "Raw 65,536-byte memory file (offset = address): loaded when it exists, saved after every "
                 "write request and at exit")
      ->type_name("FILE");
  app.add_option("--version-word", o.versionWord,
                 "Firmware version word of a fresh pedal (default 0x0105; up to 0x0104 the records are in "
                 "the legacy layout)")
      ->type_name("WORD");
  app.add_option("--busy-polls", o.normal.busyPolls, "Status polls answered busy after each write (default 1)");
  app.add_option("--line-rate", o.lineRate, "Pace replies at BAUD, 10 bits a byte (default: as fast as the pty)")
      ->type_name("BAUD");
  app.add_option("--split-gap-ms", o.splitGapMs, "Gap inside a split reply and after another command's frame (default 150)");
  app.add_option("--fault", o.faults,
                 "Inject a fault, repeatable: KIND[:REQUEST][@WHERE]. KIND: " + FaultKindNames() +
                     ". REQUEST: read, write, status (default any). WHERE: @N the N-th such request "
                     "(decimal, from 1, once), @0xHHHH every such request at that address; omitted: every "
                     "such request. busy-forever answers, then reports busy to every later status poll. "
                     "E.g. --fault no-answer:read@0x1400 --fault bad-checksum:write@3")
      ->type_name("FAULT");
  app.add_flag("--verbose", o.normal.verbose, "One line per request on standard error");
  AddBootloaderOptions(app, o.boot);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }

  const auto versionWord = ParseWord(o.versionWord);
  if (!versionWord) {
    std::fprintf(stderr, "kt9-sim: bad --version-word %s\n", o.versionWord.c_str());
    return 2;
  }
  FaultPlan plan;
  for (const std::string& text : o.faults) {
    const auto rule =
        ParseFault(text, o.boot.enabled ? BootloaderMode::RequestKinds() : NormalMode::RequestKinds());
    if (!rule) {
      std::fprintf(stderr, "kt9-sim: bad --fault %s\n", text.c_str());
      return 2;
    }
    plan.Add(*rule);
  }
  PedalMemory memory = PedalMemory::Factory(*versionWord);
  if (!o.memoryFile.empty() && !memory.Load(o.memoryFile)) {
    std::fprintf(stderr, "kt9-sim: cannot read %s\n", o.memoryFile.c_str());
    return 1;
  }
  o.normal.memoryFile = o.memoryFile;
  o.normal.splitGap = std::chrono::milliseconds(o.splitGapMs);

  CatchStopSignals();
  PtyLink link(stopRequested);
  if (!link.Create()) {
    std::perror("kt9-sim: pseudo-terminal");
    return 1;
  }
  link.SetLineRate(o.lineRate);
  if (!o.linkPath.empty()) {
    std::error_code error;
    std::filesystem::remove(o.linkPath, error);
    std::filesystem::create_symlink(link.TerminalPath(), o.linkPath, error);
    if (error) {
      std::fprintf(stderr, "kt9-sim: cannot link %s: %s\n", o.linkPath.c_str(), error.message().c_str());
      return 1;
    }
  }
  std::printf("%s\n", link.TerminalPath().c_str());
  std::fflush(stdout);

  std::unique_ptr<PeerMode> mode;
  if (o.boot.enabled) {
    // Programming mode first; after a restart the pedal serves normal mode.
    o.boot.splitGap = o.normal.splitGap;
    auto boot = std::make_unique<BootloaderMode>(o.boot, std::move(plan),
                                                 std::make_unique<NormalMode>(std::move(memory), o.normal, FaultPlan{}));
    if (!boot->Start()) return 1;
    mode = std::move(boot);
  } else {
    mode = std::make_unique<NormalMode>(std::move(memory), o.normal, std::move(plan));
  }
  while (!stopRequested) {
    const std::vector<uint8_t> bytes = link.Receive(std::chrono::milliseconds(50));
    if (!bytes.empty()) mode->OnBytes(bytes, link);
  }
  mode->OnExit();
  if (!o.linkPath.empty()) {
    std::error_code error;
    std::filesystem::remove(o.linkPath, error);
  }
  return 0;
}
