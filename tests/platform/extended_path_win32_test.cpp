// The one form in which the Windows file layer names files to the system: absolute as the system
// would make it, then extended-length, so that no path is refused for its length.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/extended_path_win32.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

struct PathCase {
  std::wstring given;
  std::wstring expected;
};

std::wstring CurrentFolder() {
  std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

TEST(ExtendedPath, EveryPathBecomesAbsoluteAndExtendedLength) {
  const TempDir dir;
  const CurrentDirectory inside(dir.Path());
  const std::wstring here = L"\\\\?\\" + CurrentFolder();
  const std::wstring drive = here.substr(0, 6);  // \\?\C:
  const std::wstring deep(40, L'd');
  std::wstring longRelative;
  for (int level = 0; level < 10; ++level) longRelative += deep + L"\\";
  const PathCase cases[] = {
      {L"IMG_0042.CRW", here + L"\\IMG_0042.CRW"},
      {L".\\sub\\..\\IMG_0042.CRW", here + L"\\IMG_0042.CRW"},
      {L"sub/IMG_0042.CRW", here + L"\\sub\\IMG_0042.CRW"},
      {longRelative + L"IMG_0042.CRW", here + L"\\" + longRelative + L"IMG_0042.CRW"},
      {L"\\Photos\\IMG_0042.CRW", drive + L"\\Photos\\IMG_0042.CRW"},
      {L"C:\\Photos\\IMG_0042.CRW", L"\\\\?\\C:\\Photos\\IMG_0042.CRW"},
      {L"C:/Photos/2026/IMG_0042.CRW", L"\\\\?\\C:\\Photos\\2026\\IMG_0042.CRW"},
      {L"C:\\Photos\\..\\Фото\\.\\IMG_0042.CRW", L"\\\\?\\C:\\Фото\\IMG_0042.CRW"},
      {L"\\\\server\\share\\Photos\\IMG_0042.CRW", L"\\\\?\\UNC\\server\\share\\Photos\\IMG_0042.CRW"},
      {L"//server/share/Photos/IMG_0042.CRW", L"\\\\?\\UNC\\server\\share\\Photos\\IMG_0042.CRW"},
      // Already extended or a device: taken literally by the system, so left exactly as given.
      {L"\\\\?\\C:\\Photos/odd\\..\\IMG_0042.CRW", L"\\\\?\\C:\\Photos/odd\\..\\IMG_0042.CRW"},
      {L"\\\\?\\UNC\\server\\share\\IMG_0042.CRW", L"\\\\?\\UNC\\server\\share\\IMG_0042.CRW"},
      {L"\\\\.\\pipe\\photos", L"\\\\.\\pipe\\photos"},
      {L"", L""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(ExtendedPath(c.given), c.expected) << "given " << ::testing::PrintToString(c.given);
  }
}

// Names a file system cannot hold in its last part the system drops as it makes the path absolute;
// the extended form would keep them and name a different file.
TEST(ExtendedPath, TrailingDotsAndSpacesGoAsTheSystemDropsThem) {
  EXPECT_EQ(ExtendedPath(L"C:\\Photos\\IMG_0042.CRW. ."), L"\\\\?\\C:\\Photos\\IMG_0042.CRW");
}

TEST(ExtendedPath, TextThatIsNoUtf8NamesNoFile) {
  EXPECT_FALSE(ExtendedPathFromUtf8("C:\\Photos\\\xff.CRW").has_value());
  EXPECT_EQ(ExtendedPathFromUtf8("C:\\Фото\\IMG_0042.CRW"), L"\\\\?\\C:\\Фото\\IMG_0042.CRW");
}

}  // namespace
}  // namespace tailmend::test
