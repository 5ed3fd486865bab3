#include "ui/behaviour/details_window.h"

#include "engine/heap_reader.h"
#include "platform/path_names.h"
#include "ui/behaviour/file_explanation.h"

namespace tailmend {

namespace {

constexpr const char* kUnknown = "unknown";
constexpr const char* kNone = "none";

std::string BytesText(std::uint64_t count) { return GroupedNumber(count) + (count == 1 ? " byte" : " bytes"); }

std::string DamageText(const FileVerdict& verdict) {
  if (!verdict.damage) return kNone;
  const std::string path = EntryPath(*verdict.damage);
  return (path.empty() ? "root directory" : path) + ": " + std::string(StableName(verdict.damage->fault));
}

// "2005-04-23 17:54:36", by the camera's clock.
std::string CapturedText(const FileVerdict& verdict) {
  if (!verdict.captureTime) return kUnknown;
  std::string text = CaptureTimeText(*verdict.captureTime);
  text[text.find('T')] = ' ';
  return text;
}

// What the verdict found; nothing is known of a file that was never read.
std::vector<std::pair<std::string, std::string>> VerdictTexts(const FileResult& result) {
  const std::string backup = result.backup.empty() ? kNone : FileNameOf(result.backup);
  if (result.verdict.verdict == Verdict::ReadFailed) {
    return {{"Label4", kUnknown},  {"Label6", kUnknown},  {"Label8", kUnknown},  {"Label10", kUnknown},
            {"Label12", kUnknown}, {"Label14", kUnknown}, {"Label16", kUnknown}, {"Label18", backup}};
  }
  const FileVerdict& verdict = result.verdict;
  const bool cut = verdict.tail >= 0;
  return {
      {"Label4", verdict.size ? BytesText(*verdict.size) : kUnknown},
      {"Label6", cut ? BytesText(static_cast<std::uint64_t>(verdict.tail)) : kNone},
      {"Label8", cut ? BytesText(verdict.junk) : kNone},
      {"Label10", verdict.trailerKept ? "yes" : "no"},
      {"Label12", DamageText(verdict)},
      {"Label14", verdict.originalFileName.value_or(kUnknown)},
      {"Label16", CapturedText(verdict)},
      {"Label18", backup},
  };
}

}  // namespace

// The separator is kept where the folder would have no name without it: a root ("/", "C:\\").
std::string FolderOf(const std::string& path) {
  const std::size_t start = FileNameStart(path);
  if (start == 0) return "";
  const bool root = FileNameStart(std::string_view(path).substr(0, start - 1)) == start - 1;
  return path.substr(0, root ? start : start - 1);
}

std::vector<std::pair<std::string, std::string>> DetailTexts(const EventRow& row) {
  std::vector<std::pair<std::string, std::string>> texts = {{"Edit1", FileNameOf(row.file)},
                                                            {"Edit2", FolderOf(row.file)}};
  for (auto& text : VerdictTexts(row.result)) texts.push_back(std::move(text));
  texts.emplace_back("Label19", FileSentence(row.result, row.failure));
  return texts;
}

}  // namespace tailmend
