// The report of the event list read back as CSV, the way a spreadsheet reads it (RFC 4180).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/behaviour/csv_report.h"

namespace tailmend::test {
namespace {

using Line = std::vector<std::string>;

// Fields separated by commas, lines by CR LF; a quoted field may hold either, and "" is a quote.
std::vector<Line> ReadCsv(const std::string& text) {
  std::vector<Line> lines(1, Line(1));
  bool quoted = false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    std::string& field = lines.back().back();
    if (quoted && c == '"' && k + 1 < text.size() && text[k + 1] == '"') {
      field += '"';
      ++k;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      lines.back().emplace_back();
    } else if (!quoted && c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
      lines.emplace_back(1);
      ++k;
    } else {
      field += c;
    }
  }
  if (lines.back() == Line(1)) lines.pop_back();
  return lines;
}

TEST(CsvReport, ReadsBackAsOneLinePerRowUnderTheNamesOfTheJsonFields) {
  FileVerdict repaired;
  repaired.tail = 700000;
  repaired.verdict = Verdict::HeapDamaged;
  repaired.size = 705000;
  repaired.junk = 5000;
  repaired.damage = HeapDamage{HeapFault::PreviewEnd, {0x300a, 0x2007}, 2, 699800};
  repaired.originalFileName = "=HYPERLINK(\"x\")";
  repaired.captureTime = 0x426A8BDCu;
  FileVerdict jpeg;
  jpeg.tail = kTailInvalidFile;
  jpeg.verdict = Verdict::NotRepairable;
  jpeg.size = 200000;
  jpeg.reason = UnrepairableReason::NoCiffHeader;
  jpeg.lookalike = Lookalike::Jpeg;
  const std::vector<EventRow> rows = {
      {"card/IMG, \"first\".CRW", FileResult{Event::Done, repaired, "card/IMG, \"first\"_bak0.crw"}, {}},
      {"card/\xD0\xA1\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA\n.crw", FileResult{Event::InvalidCrwFile, jpeg}, {}},
      {"card/gone.crw ", FileResult{Event::Failed, {}}, FileFailure{FailureKind::Open, "No such file or directory"}},
  };
  const std::string csv = CsvReport(rows);
  ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF")) << "a byte-order mark tells a spreadsheet it is UTF-8";
  const std::vector<Line> lines = ReadCsv(csv.substr(3));
  const Line names = {"no", "file", "event", "verdict", "size", "length", "junk", "trailer_kept", "reason",
                      "looks_like", "header_offset", "missing_end", "damage.fault", "damage.entries",
                      "damage.offset", "original_name", "capture_time", "backup", "failure.what", "failure.reason"};
  const std::vector<Line> expected = {
      names,
      {"1", "card/IMG, \"first\".CRW", "Done", "heap-damaged", "705000", "700000", "5000", "false", "", "", "", "",
       "preview-end", "0x300a/0x2007", "699800", "'=HYPERLINK(\"x\")", "2005-04-23T17:54:36",
       "card/IMG, \"first\"_bak0.crw", "", ""},
      {"2", "card/\xD0\xA1\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA\n.crw", "Invalid crw file", "not-repairable",
       "200000", "", "0", "false", "no-ciff-header", "jpeg", "", "", "", "", "", "", "", "", "", ""},
      {"3", "card/gone.crw ", "Failed", "read-failed", "", "", "0", "false", "", "", "", "", "", "", "", "", "", "",
       "cannot open", "No such file or directory"},
  };
  EXPECT_EQ(lines, expected);
  EXPECT_NE(csv.find(",\"card/gone.crw \","), std::string::npos) << "a blank at an end is quoted, for readers that trim";
}

}  // namespace
}  // namespace tailmend::test
