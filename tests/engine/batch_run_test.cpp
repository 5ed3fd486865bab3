#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>


#include "engine/batch_run.h"
#include "engine/folder_walk.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/recording_sink.h"
#include "tests/support/system_codes.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;


using Calls = std::vector<std::string>;

class BatchRun : public PhotoFolderTest {
protected:
  RecordingSink sink;

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
  EXPECT_EQ(sink.rows.back().result.backup, dir.File("IMG_0001_bak0.crw")) << "the row names its backup";
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

TEST_F(BatchRun, AStopDuringALongScanLeavesThatFileAsItIsWithoutARow) {
  // Junk over several of the scan's windows: the stop is asked for between them.
  const Bytes longJunk = CiffBuilder().HeapEnd(kPhotoHeapEnd).Junk(3 << 20, 0xEE).Build();
  const std::string path = dir.Put("a.crw", longJunk);
  sink.stopFromCall = 1;
  EXPECT_EQ(ProcessFiles({path}, sink), RunEnd::Stopped);
  EXPECT_TRUE(sink.rows.empty());
  EXPECT_TRUE(sink.failures.empty());
  EXPECT_EQ(ReadBytes(path), longJunk);
}

TEST_F(BatchRun, AFileThatCannotBeOpenedEndsTheRunWithTheSystemText) {
  const std::string first = dir.Put("a.crw", damaged);
  const std::string missing = dir.File("missing.crw");
  const std::string third = dir.Put("c.crw", damaged);
  try {
    ProcessFiles({first, missing, third}, sink);
    FAIL() << "the open error must pass out";
  } catch (const PlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + missing + "\". " + SystemMessage(kNoSuchFileCode));
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

// What another program may do to a photo while it is being repaired, between the scan and the cut.
struct Meddling {
  const char* what;
  std::function<void(const std::string& path)> act;
};

const std::vector<Meddling>& Meddlings() {
  static const std::vector<Meddling> all = {
      {"appends", [](const std::string& path) { std::ofstream(path, std::ios::binary | std::ios::app) << 'x'; }},
      {"rewrites at the same size",
       [](const std::string& path) {
         Bytes bytes = ReadBytes(path);
         bytes[30] ^= 0xFF;
         WriteBytes(path, bytes);
         fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
       }},
      {"shortens below the tail", [](const std::string& path) { fs::resize_file(path, 699000); }},
  };
  return all;
}

// The file that is cut is the file that was scanned: a photo changed meanwhile stays as it now is,
// is never lengthened, and its backup, written before, stays the whole photo as it was scanned.
TEST_F(BatchRun, AFileChangedBetweenTheScanAndTheCutIsNotCut) {
  for (const Meddling& meddling : Meddlings()) {
    SCOPED_TRACE(meddling.what);
    TempDir own;
    const std::string path = own.Put("IMG_0001.CRW", damaged);
    Bytes changed;
    RecordingSink run;
    run.backup = true;
    run.onStep = [&](Step step, StepState state) {
      if (step != Step::Cut || state != StepState::Processing) return;
      meddling.act(path);
      changed = ReadBytes(path);
    };
    try {
      ProcessFiles({path}, run);
      ADD_FAILURE() << "the change must pass out of the run";
    } catch (const PlatformError& error) {
      EXPECT_EQ(std::string(error.what()), "The file \"" + path + "\" changed while it was being repaired and was not cut");
    }
    EXPECT_EQ(ReadBytes(path), changed);
    EXPECT_EQ(ReadBytes(own.File("IMG_0001_bak0.crw")), damaged);
    EXPECT_TRUE(run.rows.empty());
  }
}

#ifndef _WIN32
// Repaired into another folder, a photo changed meanwhile is not written: its copy could hold
// bytes from before and after the change. (On Windows, a photo opened for reading lets nobody
// write to it meanwhile.)
TEST_F(BatchRun, AFileChangedWhileItIsCopiedIsNotWritten) {
  for (const Meddling& meddling : Meddlings()) {
    SCOPED_TRACE(meddling.what);
    TempDir own;
    const std::string path = own.Put("IMG_0001.CRW", damaged);
    RecordingSink run;
    run.onStep = [&](Step step, StepState state) {
      if (step == Step::Cut && state == StepState::Processing) meddling.act(path);
    };
    EXPECT_EQ(ProcessFiles({path}, run, {OnFileError::ReportAndGoOn, false, own.File("fixed")}), RunEnd::Finished);
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_EQ(run.failures[0].second.kind, FailureKind::Write);
    EXPECT_EQ(run.failures[0].second.reason, "It changed while it was being copied");
    EXPECT_TRUE(fs::is_empty(own.File("fixed")));
    EXPECT_TRUE(run.rows.empty());
  }
}
#endif

// A repaired copy's temporary is never longer than the copy's name: photos whose names are as long
// as a name may be (255 bytes, the last characters of one two bytes each) are repaired into
// another folder like any other.
TEST_F(BatchRun, PhotosWithTheLongestNamesAreRepairedIntoAnotherFolder) {
  const std::string names[] = {std::string(247, 'n') + ".CRW", std::string(251, 'n') + ".CRW",
                               std::string(241, 'n') + "ЖЖЖЖЖ.CRW"};
  FileList photos;
  for (const std::string& name : names) photos.emplace_back(dir.Put(name, damaged));
  const std::string out = dir.File("fixed");
  ProcessFiles(photos, sink, {OnFileError::ReportAndGoOn, false, out});
  EXPECT_EQ(sink.Events(), std::vector<Event>(std::size(names), Event::Done));
  for (const std::string& name : names) EXPECT_EQ(ReadBytes(PathInFolder(out, name)), healthy) << name.size();
}

// A run asked to go on reports each file's error with its kind and message and repairs the rest;
// asked for rows, it gives each failing file the row "Failed" first, with what its scan found.
TEST_F(BatchRun, GoingOnAfterErrorsReportsEachWithItsKind) {
  for (const OnFileError policy : {OnFileError::ReportAndGoOn, OnFileError::RowAndGoOn}) {
    TempDir own;
    const std::string missing = own.File("missing.crw");
    const std::string changed = own.Put("b.crw", damaged);
    const std::string last = own.Put("c.crw", damaged);
    RecordingSink run;
    run.backup = true;
    bool meddled = false;
    run.onStep = [&](Step step, StepState state) {
      if (step == Step::Cut && state == StepState::Processing && !std::exchange(meddled, true)) {
        Meddlings()[0].act(changed);
      }
    };
    EXPECT_EQ(ProcessFiles({missing, changed, last}, run, {policy}), RunEnd::Finished);
    ASSERT_EQ(run.failures.size(), 2u);
    EXPECT_EQ(run.failures[0].first, missing);
    EXPECT_EQ(run.failures[0].second.kind, FailureKind::Open);
    EXPECT_EQ(run.failures[0].second.reason, SystemMessage(kNoSuchFileCode));
    EXPECT_EQ(run.failures[0].second.message, OpenErrorText(missing, kNoSuchFileCode));
    EXPECT_EQ(run.failures[1].first, changed);
    EXPECT_EQ(run.failures[1].second.kind, FailureKind::Changed);
    const bool rows = policy == OnFileError::RowAndGoOn;
    EXPECT_EQ(run.Events(), rows ? (std::vector<Event>{Event::Failed, Event::Failed, Event::Done})
                                 : std::vector<Event>{Event::Done});
    if (rows) {
      EXPECT_EQ(run.rows[1].result.verdict.verdict, Verdict::Repairable);
      EXPECT_EQ(run.rows[1].result.backup, own.File("b_bak0.crw")) << "its backup, written before, stays";
    }
    EXPECT_EQ(ReadBytes(last), healthy);
  }
}

// A folder walk's file is repaired only while its name still stands for the file that was listed:
// another file put under the name since is refused, and left as it is.
TEST_F(BatchRun, AWalkedFileReplacedAfterTheListingIsNotOpened) {
  const std::string kept = dir.Put("a.crw", damaged);
  const std::string swapped = dir.Put("b.crw", damaged);
  TempDir elsewhere;
  const std::string other = elsewhere.Put("other.crw", damaged);
  const FileArguments walked = ExpandFileArguments({dir.Path().string()});
  ASSERT_EQ(walked.files.size(), 2u);
  fs::rename(fs::u8path(other), fs::u8path(swapped));
  EXPECT_EQ(ProcessFiles(walked.files, sink, {OnFileError::ReportAndGoOn}), RunEnd::Finished);
  ASSERT_EQ(sink.failures.size(), 1u);
  EXPECT_EQ(sink.failures[0].first, swapped);
  EXPECT_EQ(sink.failures[0].second.reason, kNotTheListedFileReason);
  EXPECT_EQ(ReadBytes(swapped), damaged);
  EXPECT_EQ(ReadBytes(kept), healthy);
}

}  // namespace
}  // namespace tailmend::test
