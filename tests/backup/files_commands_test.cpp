#include <CLI/CLI.hpp>

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/field_table.h"
#include "backup/file_io.h"
#include "cli/commands.h"
#include "record_samples.h"

namespace kt9::cli {
namespace {

namespace fs = std::filesystem;

const std::string kFixture = std::string(KT9_BACKUP_FIXTURES) + "/hand_edited_legacy.kt9";

struct CommandResult {
  int exitCode;
  std::string out, err;
};

CommandResult Kt9(std::vector<std::string> args) {
  CLI::App app;
  app.require_subcommand(1);
  CliContext ctx;
  AddFileCommands(app, ctx);
  std::reverse(args.begin(), args.end());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int code = kExitOk;
  try {
    app.parse(args);
    code = ctx.exitCode;
  } catch (const CLI::ParseError&) {
    code = kExitUsage;
  }
  std::string out = ::testing::internal::GetCapturedStdout();
  return {code, out, ::testing::internal::GetCapturedStderr()};
}

class FilesCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kt9-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const char* name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(FilesCommands, ShowListsLayoutSettingsAndPatches) {
  const CommandResult run = Kt9({"show", kFixture});
  EXPECT_EQ(run.exitCode, kExitOk) << run.err;
  EXPECT_NE(run.out.find("legacy layout"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("backlight        44\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("guitars          255\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Patches: 2\n   1  Lead 1\n   2  Ambient Pad 2\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("sys_inp_set0"), std::string::npos);
}

TEST_F(FilesCommands, UnrecognisedAndUnreadableFilesFail) {
  ASSERT_TRUE(WriteFileAtomically(PathOf("no-root.kt9"), "<SYSTEM_T><sysconfig_id>1000</sysconfig_id>"));
  ASSERT_TRUE(WriteFileAtomically(PathOf("newer.kt9"), "<KT-9><sysconfig_id>3000</sysconfig_id>"));
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {PathOf("no-root.kt9"), "has no <KT-9> element"},
      {PathOf("newer.kt9"), "its sysconfig_id is 3000"},
      {PathOf("absent.kt9"), "Cannot open"},
  };
  for (const auto& c : cases) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", c.path}, std::vector<std::string>{"convert", "--to", "legacy", c.path,
                                                                             PathOf("out.kt9")}}) {
      const CommandResult run = Kt9(args);
      EXPECT_EQ(run.exitCode, kExitFailure) << c.path;
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
  }
  EXPECT_FALSE(fs::exists(PathOf("out.kt9")));
  EXPECT_EQ(Kt9({"convert", "--to", "sideways", kFixture, PathOf("out.kt9")}).exitCode, kExitUsage);
}

TEST_F(FilesCommands, ConvertWritesTheOtherLayoutAndBack) {
  const std::string extended = PathOf("extended.kt9");
  CommandResult run = Kt9({"convert", "--to", "extended", kFixture, extended});
  ASSERT_EQ(run.exitCode, kExitOk) << run.err;
  EXPECT_NE(run.out.find("converted from the legacy layout"), std::string::npos) << run.out;
  const auto text = ReadWholeFile(extended);
  ASSERT_TRUE(text);
  const auto contents = ReadBackupText(*text);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->layout, RecordLayout::Extended);
  ASSERT_EQ(contents->patches.size(), 2u);
  EXPECT_EQ(test::GetText(PatchRecordType(), RecordLayout::Extended, contents->patches[1], "patch_name"),
            "Ambient Pad 2");
  EXPECT_EQ(test::GetNumber(SystemRecordType(), RecordLayout::Extended, contents->system, "GK_SET_VEC/0/HexVol_str0"),
            90);

  run = Kt9({"show", extended});
  EXPECT_NE(run.out.find("extended layout"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   3  Regular GTR\n"), std::string::npos) << run.out;

  const std::string legacy = PathOf("legacy.kt9");
  ASSERT_EQ(Kt9({"convert", "--to", "legacy", extended, legacy}).exitCode, kExitOk);
  const auto back = ReadBackupText(*ReadWholeFile(legacy));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->layout, RecordLayout::Legacy);
  const auto original = ReadBackupText(*ReadWholeFile(kFixture));
  EXPECT_EQ(back->system, original->system);

  // Same layout: rewritten in the writer's form, in place.
  ASSERT_EQ(Kt9({"convert", "--to", "legacy", legacy, legacy}).exitCode, kExitOk);
  std::string expected;
  WriteBackupText(RecordLayout::Legacy, back->system, back->patches, expected);
  EXPECT_EQ(ReadWholeFile(legacy), expected);
}

}  // namespace
}  // namespace kt9::cli
