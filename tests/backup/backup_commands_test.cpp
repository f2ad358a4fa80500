// kt9 backup and kt9 restore as a user runs them, at the pedal's real pace:
// the file takes the place of the prompt, messages go to standard error, a
// summary of a saved backup to standard output, and the exit status says
// whether the operation succeeded.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/file_io.h"
#include "tests/backup/pedal_image.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::PedalImage;

// What the tool printed, its messages apart.
struct ToolRun {
  int status = -1;
  std::string out, err;
};

ToolRun RunKt9(const test::TempDir& dir, const std::string& args) {
  const std::string errFile = dir.File("stderr.txt");
  const test::ToolRun run = test::RunCommand(std::string("env -u KT9_PORT -u KT9_TRACE ") + KT9_BINARY + " " +
                                             args + " 2>" + errFile + " </dev/null");
  return {run.status, run.output, ReadWholeFile(errFile).value_or("")};
}

TEST(BackupCommands, BackupThenRestoreThroughTheTool) {
  test::TempDir dir;
  const PedalImage image = PedalImage::Random(0x0104, 61);
  image.Save(dir.File("pedal.bin"));
  test::SimProcess sim({"--memory", dir.File("pedal.bin")});
  ASSERT_TRUE(sim.Started());

  const ToolRun backup = RunKt9(dir, "--port " + sim.Port() + " backup " + dir.File("b.kt9"));
  EXPECT_EQ(backup.status, 0) << backup.err;
  EXPECT_EQ(backup.out, "Saved the system settings and 99 patches (legacy layout) to " + dir.File("b.kt9") + "\n");
  EXPECT_EQ(backup.err, "");  // no bar when standard error is no terminal
  std::string expected;
  WriteBackupText(RecordLayout::Legacy, image.System(RecordLayout::Legacy), image.CleanPatches(RecordLayout::Legacy),
                  expected);
  EXPECT_TRUE(ReadWholeFile(dir.File("b.kt9")) == expected);

  // Three patches keep the real pace short.
  BackupContents contents = *ReadBackupText(expected);
  contents.patches.resize(3);
  std::string three;
  WriteBackupText(RecordLayout::Legacy, contents.system, contents.patches, three);
  ASSERT_TRUE(WriteFileAtomically(dir.File("three.kt9"), three));
  const ToolRun restore = RunKt9(dir, "--port " + sim.Port() + " restore " + dir.File("three.kt9"));
  EXPECT_EQ(restore.status, 0) << restore.err;
  EXPECT_EQ(restore.out, "");
  EXPECT_EQ(restore.err, "Completed: All data written ok!\n");
}

TEST(BackupCommands, FailuresExitWithStatusOneAndTheirMessage) {
  test::TempDir dir;
  test::SimProcess sim({"--version-word", "0x0300"});
  ASSERT_TRUE(sim.Started());
  std::FILE* junk = std::fopen(dir.File("junk.kt9").c_str(), "w");
  std::fputs("not a backup", junk);
  std::fclose(junk);
  struct Case {
    std::string args;
    std::string err;
  } const cases[] = {
      {"--port " + sim.Port() + " backup " + dir.File("x.kt9"),
       "Sorry this program does not suport your firmware version\n"},
      {"--port " + sim.Port() + " restore " + dir.File("junk.kt9"),
       "Sorry this program does not suport your firmware version\n"},
      {"--port " + dir.File("nowhere") + " restore " + dir.File("junk.kt9"),
       "Device not found\nSorry could not contact the KT-9. Check the USB connection.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ToolRun run = RunKt9(dir, c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(ReadWholeFile(dir.File("x.kt9")));
}

}  // namespace
}  // namespace kt9
