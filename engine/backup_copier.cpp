#include "engine/backup_copier.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "platform/file_stream.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// The block copy goes through one fixed block, so memory does not grow with the file.
constexpr std::size_t kCopyBlockSize = 102400;
// The base name drops the source's last four characters, its extension in practice.
constexpr int kDroppedCharacters = 4;
// Temporary names are random; a clash with another run's is tried again with a new one.
constexpr int kTemporaryNameAttempts = 100;
// Four hexadecimal digits: with "~" and ".tmp" exactly as long as the shortest backup name's
// "_bak0.crw", so that any photo whose backup name fits can have its temporary.
constexpr unsigned kTemporaryTokenMask = 0xFFFF;
constexpr const char* kCopyChangedReason = "The file changed while it was being copied";
// A backup's name: the photo's base name, this marker, a number, this extension.
constexpr std::string_view kBackupMarker = "_bak";
constexpr std::string_view kBackupExtension = ".crw";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Removes the last count characters (not bytes) of a UTF-8 text.
std::string DropLastCharacters(std::string text, int count) {
  for (int dropped = 0; dropped < count && !text.empty(); ++dropped) {
    while (text.size() > 1 && IsUtf8Continuation(text.back())) text.pop_back();
    text.pop_back();
  }
  return text;
}

// The folder part of the path (with its separator) and the file name without its last four
// characters.
struct NameParts {
  std::string directory;
  std::string base;
};

NameParts SplitSourcePath(const std::string& sourcePath) {
  const std::size_t nameStart = FileNameStart(sourcePath);
  return {sourcePath.substr(0, nameStart), DropLastCharacters(sourcePath.substr(nameStart), kDroppedCharacters)};
}

// Beside the photo, so that the final naming stays within one folder, and never ending in .crw,
// so that neither the numbering nor a person takes it for a backup: IMG_0042~3fa9.tmp.
std::string TemporaryName(const std::string& sourcePath, std::uint32_t token) {
  const NameParts parts = SplitSourcePath(sourcePath);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(token & kTemporaryTokenMask));
  return parts.directory + parts.base + "~" + hex + ".tmp";
}

// The copy while it is written: under a temporary name, removed again unless it got a backup's
// name. A run killed meanwhile leaves only the temporary behind, never a partial backup.
class TemporaryCopy {
public:
  explicit TemporaryCopy(const std::string& sourcePath) {
    std::random_device random;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && !stream_; ++attempt) {
      name_ = TemporaryName(sourcePath, random());
      stream_ = FileStream::CreateNew(name_);
    }
    if (!stream_) throw PlatformError("No free temporary name in the photo's folder");
  }
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  ~TemporaryCopy() {
    if (named_) return;
    stream_.reset();
    RemoveFile(name_);
  }

  FileStream& Stream() { return *stream_; }

  // Flushed and closed first: whatever appears under a backup name is the whole copy.
  std::string GiveFirstFreeBackupName(const std::string& sourcePath) {
    stream_->Flush();
    stream_->Close();
    for (unsigned long long number = 0;; ++number) {
      std::string name = BackupName(sourcePath, number);
      if (RenameNoReplace(name_, name)) {
        named_ = true;
        return name;
      }
    }
  }

private:
  std::string name_;
  std::optional<FileStream> stream_;
  bool named_ = false;
};

// Copies size bytes in blocks, one pass more than full blocks need, and says whether exactly that
// many were there to copy.
bool CopyInBlocks(Stream& source, Stream& backup, std::int64_t size) {
  const auto blocks = static_cast<std::int64_t>(std::ceil(static_cast<double>(size) / kCopyBlockSize));
  std::vector<unsigned char> block(kCopyBlockSize);
  std::int64_t copied = 0;
  for (std::int64_t pass = 0; pass <= blocks; ++pass) {
    const std::size_t got = source.Read(block.data(), block.size());
    if (backup.Write(block.data(), got) != got) throw PlatformError("The backup could not be written whole");
    copied += static_cast<std::int64_t>(got);
  }
  return copied == size;
}

// Copies the whole source and says whether exactly its bytes arrived: a file that grew or shrank
// meanwhile was not copied faithfully. A file on disk is copied by the system where it can.
bool CopyWhole(Stream& source, FileStream* sourceFile, FileStream& backup) {
  source.Seek(0);
  const std::int64_t size = source.Size();
  // One byte more than the size shows a file that grew meanwhile.
  if (const auto copied = sourceFile ? sourceFile->CopyInSystem(backup, size + 1) : std::nullopt) {
    source.Seek(*copied);
    return *copied == size;
  }
  return CopyInBlocks(source, backup, size);
}

}  // namespace

std::string BackupName(const std::string& sourcePath, unsigned long long number) {
  const NameParts parts = SplitSourcePath(sourcePath);
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

bool BackupSourceFile(const std::string& fileName, Stream& source) {
  std::string failureReason;
  return BackupSourceFile(fileName, source, failureReason);
}

bool BackupSourceFile(const std::string& fileName, Stream& source, std::string& failureReason) {
  try {
    auto* sourceFile = dynamic_cast<FileStream*>(&source);
    TemporaryCopy copy(fileName);
    if (!CopyWhole(source, sourceFile, copy.Stream())) {
      failureReason = kCopyChangedReason;
      return false;
    }
    if (sourceFile) sourceFile->CopyAttributesTo(copy.Stream());
    FlushFolderOf(copy.GiveFirstFreeBackupName(fileName));
    return true;
  } catch (const PlatformError& error) {
    failureReason = error.Reason();
  } catch (const std::exception& error) {
    failureReason = error.what();
  }
  return false;
}

}  // namespace tailmend
