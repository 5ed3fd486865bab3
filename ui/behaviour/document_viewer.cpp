#include "ui/behaviour/document_viewer.h"

#include "platform/file_stream.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// Help documents are a few kilobytes; anything this large is not one and is not loaded whole.
constexpr std::int64_t kMaxDocumentSize = std::int64_t{64} << 20;

}  // namespace

std::vector<std::string> DocumentFolders(const std::string& programFolder, const std::optional<std::string>& dataFolder,
                                         const std::string& currentFolder) {
  std::vector<std::string> folders{programFolder};
  if (dataFolder) folders.push_back(*dataFolder);
  folders.push_back(currentFolder);
  return folders;
}

std::optional<std::string> FindDocument(const std::string& name, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::string path = PathInFolder(folder, name);
    if (FileExists(path)) return path;
  }
  return std::nullopt;
}

std::string ReadDocument(const std::string& path) {
  FileStream stream = FileStream::OpenReadSharedRead(path);
  const std::int64_t size = stream.Size();
  if (size > kMaxDocumentSize) throw PlatformError(kLoadFailureText);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (stream.Read(bytes.data(), bytes.size()) != bytes.size()) throw PlatformError(kLoadFailureText);
  return bytes;
}

}  // namespace tailmend
