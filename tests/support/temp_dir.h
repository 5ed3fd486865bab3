#pragma once

#include <filesystem>
#include <string>

#include "tests/support/ciff_builder.h"

namespace tailmend::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Full UTF-8 path of name inside the folder.
  std::string File(const std::string& name) const;
  // Writes a file of that name into the folder and returns its full path.
  std::string Put(const std::string& name, const Bytes& bytes) const;

private:
  std::filesystem::path path_;
};

// Makes a folder the current directory for as long as it lives.
class CurrentDirectory {
public:
  explicit CurrentDirectory(const std::filesystem::path& path);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
  std::filesystem::path old_;
};

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

}  // namespace tailmend::test
