#include "tests/support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/folder_listing.h"
#include "platform/path_names.h"

namespace tailmend::test {

namespace fs = std::filesystem;

namespace {

// Deepest first, through the file layer's own listing: std::filesystem's removal on MinGW cannot
// list a folder deeper than MAX_PATH, and keeps a folder open while it removes it, which Windows
// refuses. Links are removed, never followed.
void RemoveTree(const std::string& folder) {
  std::error_code ignored;
  try {
    for (const FolderEntry& entry : ListFolder(folder)) {
      const std::string path = PathInFolder(folder, entry.name);
      if (entry.kind == EntryKind::Folder) {
        RemoveTree(path);
      } else {
        fs::remove(fs::u8path(path), ignored);
      }
    }
  } catch (const std::exception&) {
    // What cannot be listed stays; the folder's own removal below then fails too.
  }
  fs::remove(fs::u8path(folder), ignored);
}

}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = fs::temp_directory_path() / ("tailmend-test-" + std::to_string(random()));
    if (fs::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() { RemoveTree(reinterpret_cast<const char*>(path_.u8string().c_str())); }

std::string TempDir::File(const std::string& name) const {
  return reinterpret_cast<const char*>((path_ / fs::u8path(name)).u8string().c_str());
}

std::string TempDir::Put(const std::string& name, const Bytes& bytes) const {
  const std::string path = File(name);
  WriteBytes(path, bytes);
  return path;
}

CurrentDirectory::CurrentDirectory(const fs::path& path) : old_(fs::current_path()) { fs::current_path(path); }

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  fs::current_path(old_, ignored);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tailmend::test
