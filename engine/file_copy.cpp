#include "engine/file_copy.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// The block copy goes through one fixed block, so memory does not grow with the file.
constexpr std::size_t kCopyBlockSize = 102400;
// The base name drops the file's last four characters, its extension in practice.
constexpr int kDroppedCharacters = 4;
// Temporary names are random; a clash with another run's is tried again with a new one.
constexpr int kTemporaryNameAttempts = 100;
// Four hexadecimal digits: with "~" and ".tmp" nine characters, which take the place of the final
// name's last nine (for a backup its "_bak0.crw").
constexpr unsigned kTemporaryTokenMask = 0xFFFF;
constexpr int kTemporaryMarkCharacters = 9;

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Removes the last count characters (not bytes) of a UTF-8 text.
std::string DropLastCharacters(std::string text, int count) {
  for (int dropped = 0; dropped < count && !text.empty(); ++dropped) {
    while (text.size() > 1 && IsUtf8Continuation(text.back())) text.pop_back();
    text.pop_back();
  }
  return text;
}

// Nine characters are at least nine bytes in UTF-8 and nine UTF-16 units on Windows.
std::string TemporaryName(const std::string& finalName, std::uint32_t token) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(token & kTemporaryTokenMask));
  return DropLastCharacters(finalName, kTemporaryMarkCharacters) + "~" + hex + ".tmp";
}

// The system's own copy where it has one for these two files.
std::optional<std::int64_t> CopyInSystem(Stream& source, FileStream& target, std::int64_t atMost) {
  auto* sourceFile = dynamic_cast<FileStream*>(&source);
  return sourceFile ? sourceFile->CopyInSystem(target, atMost) : std::nullopt;
}

std::int64_t CopyInBlocks(Stream& source, Stream& target, std::int64_t atMost) {
  std::vector<unsigned char> block(kCopyBlockSize);
  std::int64_t copied = 0;
  while (copied < atMost) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(atMost - copied, kCopyBlockSize));
    const std::size_t got = source.Read(block.data(), want);
    if (got == 0) break;
    if (target.Write(block.data(), got) != got) throw PlatformError("The copy could not be written whole");
    copied += static_cast<std::int64_t>(got);
  }
  return copied;
}

}  // namespace

NameParts SplitName(const std::string& path) {
  const std::size_t nameStart = FileNameStart(path);
  return {path.substr(0, nameStart), DropLastCharacters(path.substr(nameStart), kDroppedCharacters)};
}

TemporaryCopy::TemporaryCopy(const HeldFolder& folder, const std::string& finalName) : folder_(folder) {
  std::random_device random;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && !stream_; ++attempt) {
    name_ = TemporaryName(finalName, random());
    stream_ = folder_.CreateNew(name_);
  }
  if (!stream_) throw PlatformError("No free temporary name in the folder");
}

TemporaryCopy::~TemporaryCopy() {
  if (named_) return;
  stream_.reset();
  folder_.Remove(name_);
}

bool TemporaryCopy::GiveName(const std::string& name) {
  if (stream_->IsOpen()) {
    stream_->Flush();
    stream_->Close();
  }
  named_ = folder_.GiveName(name_, name);
  return named_;
}

std::int64_t CopyUpTo(Stream& source, FileStream& target, std::int64_t atMost) {
  source.Seek(0);
  if (const auto copied = CopyInSystem(source, target, atMost)) {
    source.Seek(*copied);
    return *copied;
  }
  return CopyInBlocks(source, target, atMost);
}

}  // namespace tailmend
