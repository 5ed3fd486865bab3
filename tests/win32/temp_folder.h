#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tailmend::test {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the user's temporary folder (GetTempPathW), removed with everything in it,
// read-only files included, when the test ends. Files are written and read through the wide
// Windows API directly, never through the code under test.
class TempFolder {
public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // Full path of a name inside the folder, wide and as the UTF-8 text the engine takes.
  std::wstring Wide(const std::wstring& name) const { return wide_ + name; }
  std::string Utf8(const std::wstring& name) const;

  // Writes a file of that name; returns its UTF-8 path.
  std::string Write(const std::wstring& name, const Bytes& bytes) const;

private:
  std::wstring wide_;  // ends with a backslash
};

Bytes ReadWhole(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);

}  // namespace tailmend::test
