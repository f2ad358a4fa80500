// kt9 boot-info and kt9 update as a user runs them, against kt9-sim in
// programming mode with the link's real time-outs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "sim/test_firmware.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::ReadLines;
using test::ToolRun;

// Standard input is not a terminal, so unanswered questions get No.
ToolRun RunKt9(const std::string& args) {
  return test::RunCommand(std::string("env -u KT9_PORT -u KT9_TRACE ") + KT9_BINARY + " " + args +
                          " </dev/null 2>&1");
}

TEST(BootInfoCommand, PrintsThePagesStatus) {
  const struct {
    std::vector<std::string> simArgs;
    int status;
    const char* text;
  } cases[] = {
      {{"--bootloader"}, 0, "OK - BL V1.2, FW V2.3\n"},
      {{"--bootloader", "--bl-version", "0.0", "--fw-version", "2.4"}, 1,
       "ERROR: NORVANE KT-9 NOT IN PROGRAMMING MODE!\n"},
  };
  for (const auto& c : cases) {
    test::SimProcess sim(c.simArgs);
    ASSERT_TRUE(sim.Started());
    const ToolRun run = RunKt9("--port " + sim.Port() + " boot-info");
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_EQ(run.output, c.text);
  }
  const ToolRun missing = RunKt9("--port /dev/kt9-no-such-port boot-info");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Device not found\n"), std::string::npos) << missing.output;
  EXPECT_NE(missing.output.find("Error: Communication is closed\n"), std::string::npos) << missing.output;
}

TEST(UpdateCommand, AnswersTheQuestionsFromItsOptions) {
  // A small firmware: 8 main blocks, then the 5 blocks of the vector area;
  // the mismatch makes the read-back of block 0x80 fail.
  const struct {
    const char* what;
    std::vector<std::string> simArgs;
    std::string options;
    int status;
    std::vector<std::string> texts;
    std::vector<std::string> lastRequests;
  } cases[] = {
      {"completed, restarted", {}, "--restart", 0,
       {"OK - BL V1.2, FW V2.3\n", "KT-9 Update is completed and OK!\nRestart KT-9 now? [y/N] y\n",
        "Turn KT-9 OFF and then back ON again, to restart in normal mode.\n"},
       {"read 0x000200", "verify", "restart"}},
      {"completed, left in programming mode", {}, "--no-restart", 0,
       {"Restart KT-9 now? [y/N] n\n"}, {"write 0x000200", "read 0x000200", "verify"}},
      {"failure, nothing preset, not a terminal", {"--verify-mismatch", "0x80"}, "--restart", 1,
       {"KT-9 Update FAILED:\nError: Failed verifying flash memory at base adress [80h]. 2 bytes wrong.\t     Adr:[84h]",
        "\nVerify anyhow? [y/N] n (not a terminal)\n"},
       {"read 0x000000", "write 0x000080", "read 0x000080"}},
      {"failure, verified anyhow", {"--verify-mismatch", "0x80"}, "--verify-anyhow --no-restart", 1,
       {"Verify anyhow? [y/N] y\n", "Restart KT-9? [y/N] n\n"}, {"write 0x000080", "read 0x000080", "verify"}},
      {"not in programming mode", {"--bl-version", "0.0"}, "--restart", 1,
       {"ERROR: NORVANE KT-9 NOT IN PROGRAMMING MODE!\n", "Please verify the connection!\n"}, {"version"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    {
      std::ofstream hex(dir.File("firmware.hex"), std::ios::binary);
      sim::TestFirmwareOptions firmware;
      firmware.mainBytes = 0x800;
      sim::WriteTestFirmware(firmware, hex);
    }
    std::vector<std::string> simArgs{"--bootloader", "--log", dir.File("requests.log")};
    simArgs.insert(simArgs.end(), c.simArgs.begin(), c.simArgs.end());
    test::SimProcess sim(simArgs);
    ASSERT_TRUE(sim.Started());
    const ToolRun run = RunKt9("--port " + sim.Port() + " update '" + dir.File("firmware.hex") + "' " + c.options);
    EXPECT_EQ(run.status, c.status) << run.output;
    for (const std::string& text : c.texts) EXPECT_NE(run.output.find(text), std::string::npos) << run.output;
    sim.Stop();
    const std::vector<std::string> requests = ReadLines(dir.File("requests.log"));
    ASSERT_GE(requests.size(), c.lastRequests.size());
    EXPECT_EQ(std::vector<std::string>(requests.end() - c.lastRequests.size(), requests.end()), c.lastRequests);
  }
}

}  // namespace
}  // namespace kt9
