// The --json report read back as JSON, as a script reads it, not compared as text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <random>
#include <sstream>

#include "cli/console_report.h"
#include "cli/json_text.h"
#include "engine/run_summary.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/photo_folder_test.h"

namespace tailmend::test {
namespace {

using nlohmann::json;

std::vector<json> JsonLines(const std::string& text) {
  std::vector<json> objects;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) objects.push_back(json::parse(line));
  return objects;
}

// Whatever the bytes, the string is valid JSON that reads back as the text, with U+FFFD for each
// byte that is not part of well-formed UTF-8, and on one line for every line splitter (Python's
// splitlines, JavaScript's): no C0 control, nor U+0085, U+2028 or U+2029 (no other case has their
// last bytes).
TEST(JsonString, ReadsBackAsTheTextWithBrokenBytesReplaced) {
  const std::string kFFFD = "\xEF\xBF\xBD";
  const std::string kSeparators = "\xC2\x85\xC2\x9B\xE2\x80\xA8\xE2\x80\xA9 \xE2\x80\xA7\xC2\xA0";
  const struct {
    std::string text;
    std::string readBack;
  } cases[] = {
      {"plain.CRW", "plain.CRW"},
      {"a\"b\\c\td\ne\rf\x01\x1f\x7f", "a\"b\\c\td\ne\rf\x01\x1f\x7f"},
      {"\xD0\xA1\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA \xE5\x86\x99 \xF0\x9F\x93\xB7", "Снимок 写 📷"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\x80x", kFFFD + "x"},                                 // a continuation byte alone
      {"\xC0\xAF", kFFFD + kFFFD},                            // an overlong slash
      {"\xED\xA0\x80", kFFFD + kFFFD + kFFFD},                // a surrogate
      {"\xF4\x90\x80\x80", kFFFD + kFFFD + kFFFD + kFFFD},    // past U+10FFFF
      {"\xE2\x82", kFFFD + kFFFD},                            // cut short at the end
      {"\xE2\x82x", kFFFD + kFFFD + "x"},
      {kSeparators, kSeparators},
  };
  const auto breaksLine = [](unsigned char c) { return c < 0x20 || c == 0x85 || c == 0xA8 || c == 0xA9; };
  for (const auto& c : cases) {
    const std::string encoded = JsonString(c.text);
    EXPECT_EQ(json::parse(encoded).get<std::string>(), c.readBack) << encoded;
    EXPECT_TRUE(std::none_of(encoded.begin(), encoded.end(), breaksLine)) << encoded;
  }
  std::mt19937 random(7);
  for (int k = 0; k < 2000; ++k) {
    std::string bytes(random() % 12, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    const std::string encoded = JsonString(bytes);
    EXPECT_TRUE(json::accept(encoded)) << encoded;
  }
}

FileVerdict Repairable() {
  FileVerdict verdict;
  verdict.tail = 700000;
  verdict.verdict = Verdict::Repairable;
  verdict.size = 705000;
  verdict.junk = 5000;
  verdict.trailerKept = true;
  verdict.originalFileName = "CRW_0042.CRW";
  verdict.captureTime = 0x426A8BDCu;
  return verdict;
}

FileVerdict NotRepairable(UnrepairableReason reason) {
  FileVerdict verdict;
  verdict.tail = kTailInvalidFile;
  verdict.verdict = Verdict::NotRepairable;
  verdict.size = 200000;
  verdict.reason = reason;
  verdict.lookalike = reason == UnrepairableReason::NoCiffHeader ? Lookalike::Jpeg : Lookalike::None;
  verdict.headerOffset = reason == UnrepairableReason::HeaderNotAtStart ? 512 : 0;
  verdict.missingEnd = reason == UnrepairableReason::NoHeapEnd ? MissingEnd::CutShort : MissingEnd::None;
  return verdict;
}

FileVerdict HeapDamaged() {
  FileVerdict verdict = Repairable();
  verdict.verdict = Verdict::HeapDamaged;
  verdict.trailerKept = false;
  verdict.originalFileName.reset();
  verdict.captureTime.reset();
  verdict.damage = HeapDamage{HeapFault::PreviewEnd, {0x300a, 0x2007}, 2, 699800};
  return verdict;
}

// Each file is one object: the members every verdict has, and the detail only its reason has.
TEST(JsonReport, EachFileIsOneObjectWithWhatItsVerdictFound) {
  const json noDetail = {{"reason", nullptr}, {"damage", nullptr}, {"original_name", nullptr},
                         {"capture_time", nullptr}, {"backup", nullptr}, {"failure", nullptr}};
  const auto with = [](json object, const json& more) {
    object.update(more);
    return object;
  };
  const auto unrepairable = [&](const char* reason) {
    return with(noDetail, {{"event", "Invalid crw file"}, {"verdict", "not-repairable"}, {"size", 200000},
                           {"length", nullptr}, {"junk", 0}, {"trailer_kept", false}, {"reason", reason}});
  };
  const struct {
    FileResult result;
    json expected;
  } cases[] = {
      {{Event::Done, Repairable(), "dir/a \"b\"_bak0.crw"},
       with(noDetail, {{"event", "Done"}, {"verdict", "repairable"}, {"size", 705000}, {"length", 700000},
                       {"junk", 5000}, {"trailer_kept", true}, {"original_name", "CRW_0042.CRW"},
                       {"capture_time", "2005-04-23T17:54:36"}, {"backup", "dir/a \"b\"_bak0.crw"}})},
      {{Event::TailFound, HeapDamaged()},
       with(noDetail, {{"event", "Tail found"}, {"verdict", "heap-damaged"}, {"size", 705000}, {"length", 700000},
                       {"junk", 5000}, {"trailer_kept", false},
                       {"damage", {{"fault", "preview-end"}, {"entries", {"0x300a", "0x2007"}}, {"offset", 699800}}}})},
      {{Event::InvalidCrwFile, NotRepairable(UnrepairableReason::TooSmall)}, unrepairable("too-small")},
      {{Event::InvalidCrwFile, NotRepairable(UnrepairableReason::NoCiffHeader)},
       with(unrepairable("no-ciff-header"), {{"looks_like", "jpeg"}})},
      {{Event::InvalidCrwFile, NotRepairable(UnrepairableReason::HeaderNotAtStart)},
       with(unrepairable("header-not-at-start"), {{"header_offset", 512}})},
      {{Event::InvalidCrwFile, NotRepairable(UnrepairableReason::NoHeapEnd)},
       with(unrepairable("no-heap-end"), {{"missing_end", "cut-short"}})},
  };
  for (const auto& c : cases) {
    ConsoleReport report(false, ReportFormat::Json);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    report.AddEventRow("dir/a \"b\".CRW", c.result);
    report.Finish(1);
    const std::vector<json> lines = JsonLines(::testing::internal::GetCapturedStdout());
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], with(c.expected, {{"file", "dir/a \"b\".CRW"}}));
  }
}

// A failure beside a file's row joins its object; one in place of a row is an object of its own.
TEST(JsonReport, AFailureJoinsItsFilesObjectOrStandsForTheFile) {
  ConsoleReport report(false, ReportFormat::Json);
  FileVerdict unread;
  unread.failureReason = "Input/output error";
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  report.AddEventRow("a.CRW", {Event::UnknownError, unread});
  report.ReportFailure("a.CRW", {FailureKind::Read, "Input/output error"});
  EXPECT_FALSE(report.StopRequested());
  report.ReportFailure("b.CRW", {FailureKind::Open, "Permission denied"});
  report.AddEventRow("c.CRW", {Event::Done, Repairable()});
  report.ReportFailure("c.CRW", {FailureKind::Cut, "No space left on device"});
  report.AddEventRow("d.CRW", {Event::Done, Repairable()});
  report.ReportFailure("e.CRW", {FailureKind::Open, "Permission denied"});
  report.Finish(5);
  const std::vector<json> lines = JsonLines(::testing::internal::GetCapturedStdout());
  const std::string err = ::testing::internal::GetCapturedStderr();
  // A failure beside its file's row is that file's, counted once.
  EXPECT_TRUE(err.ends_with("tailmend-cli: 5 files: 2 repaired, 3 failed\n")) << err;
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3]["failure"], nullptr) << "another file's failure is not d's";
  EXPECT_EQ(lines[4]["file"], "e.CRW");
  EXPECT_EQ(lines[0]["file"], "a.CRW");
  EXPECT_EQ(lines[0]["verdict"], "read-failed");
  EXPECT_EQ(lines[0]["failure"], json({{"what", "cannot read"}, {"reason", "Input/output error"}}));
  EXPECT_EQ(lines[1], json({{"file", "b.CRW"}, {"event", nullptr},
                            {"failure", {{"what", "cannot open"}, {"reason", "Permission denied"}}}}));
  EXPECT_EQ(lines[2]["file"], "c.CRW");
  EXPECT_EQ(lines[2]["failure"]["what"], "cannot cut");
}

FileResult Row(Event event, Verdict verdict, UnrepairableReason reason = UnrepairableReason::None) {
  FileResult result{event, {}};
  result.verdict.verdict = verdict;
  result.verdict.reason = reason;
  return result;
}

// The summary names each outcome that happened, with or without the reasons files could not be
// repaired, and says where a run that ended early stopped.
TEST(RunSummary, NamesWhatBecameOfTheFiles) {
  using R = UnrepairableReason;
  const std::vector<FileResult> mixed = {
      Row(Event::Done, Verdict::Repairable), Row(Event::Done, Verdict::HeapDamaged),
      Row(Event::NoFileTail, Verdict::HeapDamaged), Row(Event::InvalidCrwFile, Verdict::NotRepairable, R::TooSmall),
      Row(Event::NoFileTail, Verdict::NotRepairable, R::NoHeapEnd),
      Row(Event::InvalidCrwFile, Verdict::NotRepairable, R::NoCiffHeader),
      Row(Event::InvalidCrwFile, Verdict::NotRepairable, R::HeaderNotAtStart),
      Row(Event::UnknownError, Verdict::ReadFailed), Row(Event::BackupFailed, Verdict::Repairable),
      Row(Event::Failed, Verdict::Repairable)};
  const struct {
    std::vector<FileResult> rows;
    std::size_t failedFiles;
    std::size_t listed;
    const char* counts;
    const char* withReasons;
  } cases[] = {
      {{}, 0, 0, "0 files", "0 files"},
      {{}, 0, 3, "3 files; stopped after 0 of 3", "3 files; stopped after 0 of 3"},
      {{Row(Event::NoFileTail, Verdict::Healthy)}, 0, 1, "1 file: 1 healthy", "1 file: 1 healthy"},
      {{Row(Event::InvalidCrwFile, Verdict::NotRepairable, R::TooSmall)}, 0, 1, "1 file: 1 not a CRW file",
       "1 file: 1 not a CRW file (1 too-small)"},
      {mixed, 0, 11,
       "11 files: 1 repaired, 1 repaired, damaged inside, 1 damaged inside, 2 not repairable, 2 not CRW files, "
       "3 failed; stopped after 10 of 11",
       "11 files: 1 repaired, 1 repaired, damaged inside, 1 damaged inside, 2 not repairable (1 header-not-at-start, "
       "1 no-heap-end), 2 not CRW files (1 no-ciff-header, 1 too-small), 3 failed; stopped after 10 of 11"},
      {{Row(Event::TailFound, Verdict::Repairable), Row(Event::TailFound, Verdict::HeapDamaged)}, 3, 5,
       "5 files: 1 repairable, 1 repairable, damaged inside, 3 failed",
       "5 files: 1 repairable, 1 repairable, damaged inside, 3 failed"},
  };
  for (const auto& c : cases) {
    RunSummary summary;
    for (const FileResult& row : c.rows) summary.CountRow(row);
    for (std::size_t k = 0; k < c.failedFiles; ++k) summary.CountFailedFile();
    EXPECT_EQ(summary.Text(c.listed, SummaryDetail::Counts), c.counts);
    EXPECT_EQ(summary.Text(c.listed, SummaryDetail::CountsAndReasons), c.withReasons);
  }
}

class CliJson : public PhotoFolderTest {};

// End to end, from the verdict to the line: the camera's name and time come from the file's heap.
TEST_F(CliJson, EveryFileIsReportedAsAnObjectAndTheRunIsSummed) {
  const std::string repaired = dir.Put("a.CRW", damaged);
  dir.Put("b.CRW", healthy);
  Bytes jpeg(200000, 0);
  jpeg[0] = 0xFF;
  jpeg[1] = 0xD8;
  jpeg[2] = 0xFF;
  const std::string misnamed = dir.Put("c.crw", jpeg);
  const CliRun run = RunCli({"--json", dir.Path().string()});
  EXPECT_EQ(run.status, 1) << "a file could not be repaired";
  const std::vector<json> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["file"], repaired);
  EXPECT_EQ(lines[0]["event"], "Done");
  EXPECT_EQ(lines[0]["length"], 700000);
  EXPECT_EQ(lines[0]["junk"], damaged.size() - 700000);
  EXPECT_EQ(lines[0]["original_name"], "CRW_0042.CRW");
  EXPECT_EQ(lines[0]["capture_time"], "2005-04-23T17:54:36");
  EXPECT_EQ(lines[1]["verdict"], "healthy");
  EXPECT_EQ(lines[2]["file"], misnamed);
  EXPECT_EQ(lines[2]["looks_like"], "jpeg");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.summary, "tailmend-cli: 3 files: 1 repaired, 1 healthy, 1 not a CRW file (1 no-ciff-header)");
  EXPECT_EQ(ReadBytes(repaired), healthy);
}

}  // namespace
}  // namespace tailmend::test
