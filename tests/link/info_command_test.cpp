// kt9 info and kt9 ports as a user runs them.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::ToolRun;

ToolRun RunKt9(const std::string& args) {
  return test::RunCommand(std::string("env -u KT9_PORT -u KT9_TRACE ") + KT9_BINARY + " " + args + " 2>&1");
}

TEST(InfoCommand, PrintsTheVersionWordAndItsLayout) {
  struct Case {
    std::vector<std::string> simArgs;
    int status;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {{}, 0, {"Firmware version word: 0x0105", "Record layout: extended"}},
      {{"--version-word", "0x0104"}, 0, {"Firmware version word: 0x0104", "Record layout: legacy"}},
      {{"--version-word", "0x0300"}, 0, {"0x0300", "not supported"}},
      {{"--fault", "no-answer:read"}, 1, {"Could not read the firmware version word", "legacy layout"}},
  };
  for (const Case& c : cases) {
    test::SimProcess sim(c.simArgs);
    ASSERT_TRUE(sim.Started());
    const ToolRun run = RunKt9("--port " + sim.Port() + " info");
    EXPECT_EQ(run.status, c.status) << run.output;
    for (const std::string& text : c.texts) EXPECT_NE(run.output.find(text), std::string::npos) << run.output;
  }
}

TEST(InfoCommand, ReportsAMissingPedal) {
  const ToolRun run = RunKt9("--port /dev/kt9-no-such-port info");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Device not found\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("/dev/kt9-no-such-port"), std::string::npos) << run.output;
}

TEST(PortsCommand, NamesTheExplicitPort) {
  const ToolRun run = RunKt9("--port /dev/pts/77 ports");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("/dev/pts/77"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace kt9
