#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "backup/file_io.h"

namespace kt9 {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("kt9-file-io-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
};

TEST_F(FileIo, WritesReplacesAndReadsBackExactBytes) {
  const std::string path = (folder_ / "a.kt9").string();
  const std::string bytes("line\r\n\0\xFF end", 12);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, bytes, &error)) << error;
  EXPECT_EQ(ReadWholeFile(path), bytes);
  ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error;
  EXPECT_EQ(ReadWholeFile(path), "new");
  EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left behind
  ASSERT_TRUE(WriteFileAtomically(path, "", &error));
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(FileIo, FailuresSayWhatAndLeaveTheOldFile) {
  std::string error;
  EXPECT_FALSE(WriteFileAtomically((folder_ / "missing" / "a.kt9").string(), "x", &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;

  // A folder in the way of the rename: the temporary file is removed again.
  fs::create_directories(folder_ / "busy.kt9" / "inside");
  EXPECT_FALSE(WriteFileAtomically((folder_ / "busy.kt9").string(), "x", &error));
  EXPECT_TRUE(fs::is_directory(folder_ / "busy.kt9"));
  EXPECT_EQ(FilesInFolder(), 1u);

  EXPECT_EQ(ReadWholeFile((folder_ / "none.kt9").string(), &error), std::nullopt);
  EXPECT_NE(error.find("none.kt9"), std::string::npos) << error;
  EXPECT_EQ(ReadWholeFile(folder_.string(), &error), std::nullopt);  // a folder is no file
}

}  // namespace
}  // namespace kt9
