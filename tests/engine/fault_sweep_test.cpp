// Every call the file layer makes to the system during a backed-up batch of two damaged photos,
// failed in turn: after each failure the run must have reported what it reports for that step,
// and the folder must hold nothing a person could lose a photo by.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "engine/batch_run.h"
#include "platform/fault_injection.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "tests/support/photos.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// Far more calls than a batch of two makes; reaching it means the sweep never ends.
constexpr std::uint64_t kMaxCalls = 10000;


using StepSet = std::pair<Step, StepState>;

// Remembers, with every call of the run, how many system calls the file layer had made by then,
// so that a failure can be placed in the step that was running.
class CountingSink final : public ProgressSink {
public:
  RecordingSink inner{};
  std::vector<std::uint64_t> callsBefore;

  CountingSink() { inner.backup = true; }
  void SetCaption(const std::string& text) override {
    inner.SetCaption(text);
    Note(std::nullopt);
  }
  void SetStepText(Step step, StepState state) override {
    inner.SetStepText(step, state);
    Note(StepSet{step, state});
  }
  void AddEventRow(const std::string& file, const FileResult& result) override {
    inner.AddEventRow(file, result);
    Note(lastStep_);
  }
  bool BackupRequested() override { return true; }
  bool StopRequested() override { return false; }
  void ReportFailure(const std::string& file, const FileFailure& failure) override {
    inner.ReportFailure(file, failure);
  }

  // The step state that was last shown, and the count of files begun, when system call k was made.
  std::pair<std::optional<StepSet>, std::size_t> WhereCall(std::uint64_t k) const {
    std::optional<StepSet> step;
    std::size_t filesBegun = 0;
    for (std::size_t i = 0; i < noted_.size() && callsBefore[i] < k; ++i) {
      if (!noted_[i]) ++filesBegun;
      if (noted_[i] && noted_[i]->second != StepState::Clear) step = noted_[i];
    }
    return {step, filesBegun};
  }

private:
  // Each call of the run: the step it set (a row repeats the last one), or nothing for a caption,
  // which begins a file.
  void Note(std::optional<StepSet> step) {
    noted_.push_back(step);
    if (step) lastStep_ = *step;
    callsBefore.push_back(fault_injection::CallsCounted());
  }

  std::vector<std::optional<StepSet>> noted_;
  StepSet lastStep_{};
};

struct Outcome {
  bool failed = false;  // the chosen call was reached
  FileOperation operation{};
  std::optional<StepSet> step;
  std::size_t file = 0;  // index of the photo being repaired
  std::optional<std::string> error;
};

class FaultSweep : public ::testing::Test {
protected:
  std::vector<std::string> PutPhotos(const TempDir& dir) const {
    return {dir.Put("IMG_0001.CRW", DamagedPhoto()), dir.Put("IMG_0002.CRW", DamagedPhoto())};
  }

  // Runs the batch with call k failing.
  Outcome RunFailing(std::uint64_t k, const std::vector<std::string>& photos, CountingSink& sink) {
    Outcome outcome;
    fault_injection::Arm(k);
    try {
      ProcessFiles(FileList(photos.begin(), photos.end()), sink);
    } catch (const PlatformError& error) {
      outcome.error = error.what();
    }
    fault_injection::Disarm();
    if (const auto operation = fault_injection::FailedOperation()) {
      outcome.failed = true;
      outcome.operation = *operation;
      const auto [step, filesBegun] = sink.WhereCall(k);
      outcome.step = step;
      outcome.file = filesBegun == 0 ? 0 : filesBegun - 1;
    }
    return outcome;
  }
};

// Whatever happened, each photo is its original or cut to its heap with a whole backup beside it;
// every file under a backup name is a whole copy, and no temporary outlives the run.
void ExpectNothingLost(const TempDir& dir, const std::vector<std::string>& photos) {
  std::set<std::string> backedUp;
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".CRW")) continue;
    ASSERT_NE(name.find("_bak"), std::string::npos) << "left behind: " << name;
    EXPECT_EQ(ReadBytes(entry.path().string()), DamagedPhoto()) << "incomplete backup " << name;
    backedUp.insert(name.substr(0, name.find("_bak")));
  }
  for (const auto& photo : photos) {
    const Bytes bytes = ReadBytes(photo);
    const std::string stem = fs::path(photo).stem().string();
    if (bytes == DamagedPhoto()) continue;
    EXPECT_EQ(bytes, HealthyPhoto()) << photo;
    EXPECT_TRUE(backedUp.contains(stem)) << photo << " was cut without its backup";
  }
}

// The reason a report that names the file gives beside its event.
void ExpectFailure(const RecordingSink& sink, const std::string& photo, FailureKind kind, const std::string& reason) {
  ASSERT_FALSE(sink.failures.empty());
  EXPECT_EQ(sink.failures.back().first, photo);
  EXPECT_EQ(sink.failures.back().second.kind, kind);
  EXPECT_EQ(sink.failures.back().second.reason, reason);
}

void ExpectReportFor(const Outcome& outcome, const RecordingSink& sink, const std::vector<std::string>& photos) {
  const std::string& photo = photos[outcome.file];
  const int code = fault_injection::InjectedErrorCode();
  std::vector<std::string> doneBefore;
  for (std::size_t i = 0; i < outcome.file; ++i) doneBefore.push_back(photos[i]);
  const auto rowsFor = [&](const std::string& path) {
    return std::count_if(sink.rows.begin(), sink.rows.end(), [&](const RecordingSink::Row& row) { return row.file == path; });
  };
  for (const auto& earlier : doneBefore) EXPECT_EQ(rowsFor(earlier), 1) << earlier;

  if (outcome.step == StepSet{Step::FindTail, StepState::Calculating}) {
    if (outcome.error) {
      // Opening failed: the error passes out of the run, with no row for the file.
      EXPECT_EQ(*outcome.error, OpenErrorText(photo, code));
      EXPECT_EQ(rowsFor(photo), 0);
      EXPECT_NE(outcome.operation, FileOperation::Read);
    } else {
      // Reading failed: the locator reports the file as unusable and the run goes on.
      ASSERT_GE(rowsFor(photo), 1);
      EXPECT_NE(outcome.operation, FileOperation::Open);
      const auto row =
          std::find_if(sink.rows.begin(), sink.rows.end(), [&](const RecordingSink::Row& r) { return r.file == photo; });
      const Event event = row->result.event;
      EXPECT_TRUE(event == Event::NoFileTail || event == Event::InvalidCrwFile || event == Event::UnknownError)
          << EventText(event);
      if (event == Event::UnknownError) ExpectFailure(sink, photo, FailureKind::Read, SystemMessage(code));
      EXPECT_EQ(ReadBytes(photo), DamagedPhoto());
      for (std::size_t i = outcome.file + 1; i < photos.size(); ++i) EXPECT_EQ(ReadBytes(photos[i]), HealthyPhoto());
    }
  } else if (outcome.step == StepSet{Step::Backup, StepState::Processing}) {
    EXPECT_FALSE(outcome.error.has_value()) << *outcome.error;
    ASSERT_FALSE(sink.steps.empty());
    EXPECT_EQ(sink.steps.back(), StepSet(Step::Backup, StepState::Failed));
    ASSERT_FALSE(sink.rows.empty());
    EXPECT_EQ(sink.rows.back().file, photo);
    EXPECT_EQ(sink.rows.back().result.event, Event::BackupFailed);
    ExpectFailure(sink, photo, FailureKind::Backup, SystemMessage(code));
    EXPECT_EQ(ReadBytes(photo), DamagedPhoto()) << "cut although its backup failed";
    for (std::size_t i = outcome.file + 1; i < photos.size(); ++i) EXPECT_EQ(ReadBytes(photos[i]), DamagedPhoto());
  } else if (outcome.step == StepSet{Step::Cut, StepState::Processing}) {
    ASSERT_TRUE(outcome.error.has_value()) << "a failed cut must pass out of the run";
    EXPECT_EQ(*outcome.error, SystemErrorText(code));
    EXPECT_EQ(rowsFor(photo), 0);
    EXPECT_EQ(ReadBytes(photo), DamagedPhoto());
  } else {
    ADD_FAILURE() << "a failure outside any step";
  }
}

// Windows moves the backup to its name with write-through: the name is on disk when the call returns.
#ifdef _WIN32
constexpr bool kNamingWritesThrough = true;
#else
constexpr bool kNamingWritesThrough = false;
#endif

// The order of the calls, as the sweep met them: a backup's data and times reach the disk before
// it is named, and its name before the photo is cut.
void ExpectFlushedBeforeNamedBeforeCut(const std::vector<FileOperation>& calls) {
  bool unflushedData = false;
  bool unflushedName = false;
  bool named = false;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    switch (calls[i]) {
      case FileOperation::Write:
      case FileOperation::Copy:
      case FileOperation::Attributes: unflushedData = true; break;
      case FileOperation::Flush: unflushedData = unflushedName = false; break;
      case FileOperation::Name:
        EXPECT_FALSE(unflushedData) << "named before its data was flushed, call " << i + 1;
        unflushedName = !kNamingWritesThrough;
        named = true;
        break;
      case FileOperation::SetEnd:
        EXPECT_TRUE(named) << "cut with no backup, call " << i + 1;
        EXPECT_FALSE(unflushedName) << "cut before the backup's name was flushed, call " << i + 1;
        named = false;
        break;
      default: break;
    }
  }
}

TEST_F(FaultSweep, EveryFailingSystemCallIsReportedAndLosesNothing) {
  std::vector<FileOperation> calls;
  std::set<FileOperation> failedKinds;
  std::uint64_t k = 1;
  for (; k < kMaxCalls; ++k) {
    SCOPED_TRACE("system call " + std::to_string(k));
    TempDir dir;
    const auto photos = PutPhotos(dir);
    CountingSink sink;
    const Outcome outcome = RunFailing(k, photos, sink);
    ExpectNothingLost(dir, photos);
    if (!outcome.failed) {
      // Past the last call: the run went through untouched.
      ASSERT_FALSE(outcome.error.has_value());
      ASSERT_EQ(sink.inner.rows.size(), 2u);
      EXPECT_EQ(sink.inner.Events(), (std::vector<Event>{Event::Done, Event::Done}));
      for (const auto& photo : photos) EXPECT_EQ(ReadBytes(photo), HealthyPhoto());
      break;
    }
    calls.push_back(outcome.operation);
    failedKinds.insert(outcome.operation);
    ExpectReportFor(outcome, sink.inner, photos);
    if (HasFailure()) break;
  }
  ASSERT_LT(k, kMaxCalls);
  RecordProperty("failure_points", static_cast<int>(k - 1));
  ExpectFlushedBeforeNamedBeforeCut(calls);
  for (FileOperation kind : {FileOperation::Open, FileOperation::Read, FileOperation::Seek, FileOperation::Size,
                             FileOperation::SetEnd, FileOperation::Attributes, FileOperation::Flush,
                             FileOperation::Name, FileOperation::Close}) {
    EXPECT_TRUE(failedKinds.contains(kind)) << "no call of kind " << static_cast<int>(kind) << " was failed";
  }
  EXPECT_TRUE(failedKinds.contains(FileOperation::Write) || failedKinds.contains(FileOperation::Copy));
}

// Repairing into another folder, whatever call fails: every original stays as it was, and the
// output folder holds whole repaired copies under their names and nothing else.
TEST_F(FaultSweep, RepairingIntoAnotherFolderNeverLeavesAPartialCopy) {
  std::uint64_t k = 1;
  for (; k < kMaxCalls; ++k) {
    SCOPED_TRACE("system call " + std::to_string(k));
    TempDir dir;
    const auto photos = PutPhotos(dir);
    const std::string out = dir.File("fixed");
    RecordingSink sink;
    fault_injection::Arm(k);
    try {
      ProcessFiles(FileList(photos.begin(), photos.end()), sink, {OnFileError::ReportAndGoOn, false, out});
    } catch (const PlatformError& error) {
      ADD_FAILURE() << "a run that goes on after errors let one pass out: " << error.what();
    }
    fault_injection::Disarm();
    std::size_t copies = 0;
    if (fs::exists(out)) {
      for (const auto& entry : fs::directory_iterator(out)) {
        ++copies;
        EXPECT_EQ(ReadBytes(entry.path().string()), HealthyPhoto()) << "not a whole copy: " << entry.path();
      }
    }
    for (const auto& photo : photos) {
      EXPECT_EQ(ReadBytes(photo), DamagedPhoto()) << photo;
      const auto row = std::find_if(sink.rows.begin(), sink.rows.end(), [&](const auto& r) { return r.file == photo; });
      const bool done = row != sink.rows.end() && row->result.event == Event::Done;
      const bool reported = std::any_of(sink.failures.begin(), sink.failures.end(), [&](const auto& f) { return f.first == photo; });
      // A copy whose folder could not be flushed once it was named is whole, but said to have failed.
      const bool copied = fs::exists(PathInFolder(out, FileNameOf(photo)));
      EXPECT_TRUE(done ? copied : !copied || reported) << photo;
      EXPECT_TRUE(row != sink.rows.end() || reported) << "neither a row nor a reason for " << photo;
    }
    if (!fault_injection::FailedOperation()) {
      EXPECT_EQ(copies, photos.size());
      break;
    }
    if (HasFailure()) break;
  }
  ASSERT_LT(k, kMaxCalls);
}

}  // namespace
}  // namespace tailmend::test
