#include "engine/backup_copier.h"

#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include "platform/file_stream.h"
#include "platform/path_names.h"

namespace tailmend {

namespace {

// The copy goes through one fixed block, so memory does not grow with the file.
constexpr std::size_t kCopyBlockSize = 102400;
// The base name drops the source's last four characters, its extension in practice.
constexpr int kDroppedCharacters = 4;

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Removes the last count characters (not bytes) of a UTF-8 text.
std::string DropLastCharacters(std::string text, int count) {
  for (int dropped = 0; dropped < count && !text.empty(); ++dropped) {
    while (text.size() > 1 && IsUtf8Continuation(text.back())) text.pop_back();
    text.pop_back();
  }
  return text;
}

std::optional<FileStream> CreateFirstFreeBackup(const std::string& sourcePath, std::string& name) {
  for (unsigned long long number = 0;; ++number) {
    name = BackupName(sourcePath, number);
    if (auto backup = FileStream::CreateNew(name)) return backup;
  }
}

// Copies the whole source in blocks, one pass more than full blocks need, and says whether every
// byte of it arrived.
bool CopyWhole(Stream& source, Stream& backup) {
  source.Seek(0);
  const std::int64_t size = source.Size();
  const auto blocks = static_cast<std::int64_t>(std::ceil(static_cast<double>(size) / kCopyBlockSize));
  std::vector<unsigned char> block(kCopyBlockSize);
  std::int64_t copied = 0;
  for (std::int64_t pass = 0; pass <= blocks; ++pass) {
    const std::size_t got = source.Read(block.data(), block.size());
    if (backup.Write(block.data(), got) != got) return false;
    copied += static_cast<std::int64_t>(got);
  }
  return copied == size;
}

bool WriteBackup(FileStream& backup, Stream& source) {
  if (!CopyWhole(source, backup)) return false;
  backup.Flush();
  backup.Close();
  return true;
}

}  // namespace

std::string BackupName(const std::string& sourcePath, unsigned long long number) {
  const std::size_t nameStart = FileNameStart(sourcePath);
  const std::string directory = sourcePath.substr(0, nameStart);
  const std::string base = DropLastCharacters(sourcePath.substr(nameStart), kDroppedCharacters);
  return directory + base + "_bak" + std::to_string(number) + ".crw";
}

bool BackupSourceFile(const std::string& fileName, Stream& source) {
  std::string name;
  std::optional<FileStream> backup;
  try {
    backup = CreateFirstFreeBackup(fileName, name);
  } catch (const std::exception&) {
    return false;  // nothing was created
  }
  try {
    if (WriteBackup(*backup, source)) return true;
  } catch (const std::exception&) {
  }
  // A partial copy named like a complete one would be trusted later: it goes.
  backup.reset();
  RemoveFile(name);
  return false;
}

}  // namespace tailmend
