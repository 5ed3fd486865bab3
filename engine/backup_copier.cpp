#include "engine/backup_copier.h"

#include <cctype>
#include <exception>
#include <utility>

#include "engine/file_copy.h"
#include "platform/file_stream.h"
#include "platform/held_folder.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

constexpr const char* kCopyChangedReason = "The file changed while it was being copied";
// A backup's name: the photo's base name, this marker, a number, this extension.
constexpr std::string_view kBackupMarker = "_bak";
constexpr std::string_view kBackupExtension = ".crw";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The first number whose name is free gets the copy; a name that someone takes meanwhile is left
// alone and the next number tried. Returns the name given.
std::string GiveFirstFreeBackupName(TemporaryCopy& copy, const std::string& sourcePath) {
  for (unsigned long long number = 0;; ++number) {
    std::string name = BackupName(sourcePath, number);
    if (copy.GiveName(FileNameOf(name))) return name;
  }
}

}  // namespace

std::string BackupName(const std::string& sourcePath, unsigned long long number) {
  const NameParts parts = SplitName(sourcePath);
  return parts.directory + parts.base + std::string(kBackupMarker) + std::to_string(number) +
         std::string(kBackupExtension);
}

bool IsBackupName(std::string_view name) {
  if (!EndsWith(name, kBackupExtension)) return false;
  const std::string_view stem = name.substr(0, name.size() - kBackupExtension.size());
  std::size_t digits = stem.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(stem[digits - 1]))) --digits;
  return digits < stem.size() && EndsWith(stem.substr(0, digits), kBackupMarker);
}

bool BackupSourceFile(const std::string& fileName, Stream& source) { return BackUp(fileName, source).written; }

BackupOutcome BackUp(const std::string& fileName, Stream& source) {
  BackupOutcome outcome;
  try {
    const HeldFolder folder = HeldFolder::Open(SplitName(fileName).directory);
    TemporaryCopy copy(folder, FileNameOf(BackupName(fileName, 0)));
    const std::int64_t size = source.Size();
    // One byte more than the size shows a file that grew meanwhile.
    if (CopyUpTo(source, copy.Stream(), size + 1) != size) {
      outcome.failureReason = kCopyChangedReason;
      return outcome;
    }
    if (auto* sourceFile = dynamic_cast<FileStream*>(&source)) sourceFile->CopyAttributesTo(copy.Stream());
    outcome.name = GiveFirstFreeBackupName(copy, fileName);
    folder.Flush();
    outcome.written = true;
  } catch (const std::exception& error) {
    outcome.failureReason = FailureReasonOf(error);
  }
  return outcome;
}

}  // namespace tailmend
