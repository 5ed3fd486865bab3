#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/batch_run.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// Windows and Wine word this message differently; its trimming is tested in tests/win32.
std::string NoSuchFileText() { return SystemMessage(ERROR_FILE_NOT_FOUND); }
#else
std::string NoSuchFileText() { return "No such file or directory"; }
#endif

using Calls = std::vector<std::string>;

class BatchRun : public ::testing::Test {
protected:
  TempDir dir;
  RecordingSink sink;
  const Bytes damaged = CiffBuilder().HeapEnd(700000).Junk(4096).Build();
  const Bytes healthy = CiffBuilder().HeapEnd(700000).Build();

  std::size_t FilesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
  }
};

TEST_F(BatchRun, AnEmptyListReportsNothing) {
  ProcessFiles({}, sink);
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(BatchRun, ReportsEveryStepOfEveryFileInOrder) {
  const std::string first = dir.Put("a.CRW", healthy);
  const std::string second = dir.Put("b.CRW", damaged);
  ProcessFiles({first, second}, sink);
  const Calls expected = {
      "step 1 ", "step 2 ", "step 3 ", "caption Processing 1 of 2", "step 1 Calculating...",
      "step 1 No file tail", "row 1 " + first + " No file tail",
      "step 1 ", "step 2 ", "step 3 ", "caption Processing 2 of 2", "step 1 Calculating...",
      "step 1 Done", "step 2 Skiped", "step 3 Processing...", "step 3 Done",
      "row 2 " + second + " Done"};
  EXPECT_EQ(sink.calls, expected);
  EXPECT_EQ(ReadBytes(first), healthy);
  EXPECT_EQ(ReadBytes(second), healthy);
  EXPECT_EQ(FilesInDir(), 2u) << "no backup without the option";
}

TEST_F(BatchRun, InvalidFilesGetTheirRowAndStayUnchanged) {
  const Bytes tooSmall(5000, 'I');
  const Bytes wrongMark = CiffBuilder().Mark("XX").Junk(100).Build();
  const std::string small = dir.Put("small.crw", tooSmall);
  const std::string wrong = dir.Put("wrong.crw", wrongMark);
  ProcessFiles({small, wrong}, sink);
  EXPECT_EQ(sink.Events(), (std::vector<Event>{Event::InvalidCrwFile, Event::InvalidCrwFile}));
  EXPECT_EQ(ReadBytes(small), tooSmall);
  EXPECT_EQ(ReadBytes(wrong), wrongMark);
}

TEST_F(BatchRun, WithBackupTheWholeOriginalIsKeptBeside) {
  const std::string path = dir.Put("IMG_0001.CRW", damaged);
  sink.backup = true;
  ProcessFiles({path}, sink);
  const Calls tail(sink.calls.end() - 5, sink.calls.end());
  const Calls expected = {"step 2 Processing...", "step 2 Done", "step 3 Processing...", "step 3 Done",
                          "row 1 " + path + " Done"};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(ReadBytes(dir.File("IMG_0001_bak0.crw")), damaged);
  EXPECT_EQ(ReadBytes(path), healthy);
}

TEST_F(BatchRun, AStopRequestIsHonouredBeforeEveryFile) {
  const std::string first = dir.Put("a.crw", damaged);
  const std::string second = dir.Put("b.crw", damaged);
  sink.stopFromCall = 0;
  ProcessFiles({first, second}, sink);
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(ReadBytes(first), damaged);

  RecordingSink stopsAfterOne;
  stopsAfterOne.stopFromCall = 1;
  ProcessFiles({first, second}, stopsAfterOne);
  ASSERT_EQ(stopsAfterOne.rows.size(), 1u);
  EXPECT_EQ(ReadBytes(second), damaged);
}

TEST_F(BatchRun, AFileThatCannotBeOpenedEndsTheRunWithTheSystemText) {
  const std::string first = dir.Put("a.crw", damaged);
  const std::string missing = dir.File("missing.crw");
  const std::string third = dir.Put("c.crw", damaged);
  try {
    ProcessFiles({first, missing, third}, sink);
    FAIL() << "the open error must pass out";
  } catch (const PlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + missing + "\". " + NoSuchFileText());
  }
  EXPECT_EQ(sink.Events(), std::vector<Event>{Event::Done});
  EXPECT_EQ(sink.calls.back(), "step 1 Calculating...");
  EXPECT_EQ(ReadBytes(third), damaged);
}

TEST_F(BatchRun, AFolderIsNotAFileToRepair) {
  fs::create_directory(dir.Path() / "folder.crw");
  EXPECT_THROW(ProcessFiles({dir.File("folder.crw")}, sink), PlatformError);
  EXPECT_TRUE(sink.rows.empty());
}

}  // namespace
}  // namespace tailmend::test
