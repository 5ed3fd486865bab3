// The one form in which the Windows file layer names files to the system: absolute as the system
// would make it, then extended-length, so that no path is refused for its length.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "platform/extended_path_win32.h"
#include "platform/folder_listing_win32.h"
#include "platform/wide_text_win32.h"
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

// A pair spelt as two surrogates would be a second spelling of the pair's own four bytes.
TEST(ExtendedPath, TextThatIsNoUtf8NamesNoFile) {
  for (const char* name :
       {"\xff", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xE2\x82", "\xED\xA0\xBD\xED\xB3\xB7"}) {
    EXPECT_FALSE(ExtendedPathFromUtf8("C:\\Photos\\" + std::string(name) + ".CRW").has_value()) << name;
  }
  EXPECT_EQ(ExtendedPathFromUtf8("C:\\Фото\\IMG_0042.CRW"), L"\\\\?\\C:\\Фото\\IMG_0042.CRW");
  EXPECT_EQ(WideTextFromUtf8(std::string("a\xff") + "b"), std::wstring(L"a\xFFFD") + L"b") << "shown as U+FFFD";
}

// NTFS keeps names with unpaired surrogates, which Wine cannot make: every name a folder's listing
// gives names the same file again, and is shown as it is, never as another file's name.
TEST(ExtendedPath, EveryListedNameNamesTheSameFileAgain) {
  // Two- and three-byte characters, both halves of a pair alone and together, U+FFFD.
  const wchar_t units[] = {L'a', 0x0424, 0xFFFD, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xD83D, 0xDCF7};
  std::mt19937 random(20260611);
  std::vector<std::wstring> names(3000, L"s");
  std::vector<unsigned char> records;  // as the system lists a folder: each record's fixed part, its name
  for (std::wstring& name : names) {
    for (std::size_t n = random() % 6; n > 0; --n) name += units[random() % std::size(units)];
    FILE_ID_BOTH_DIR_INFO record{};
    record.FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    record.NextEntryOffset = &name == &names.back() ? 0 : static_cast<DWORD>(sizeof record + record.FileNameLength);
    records.resize(records.size() + sizeof record + record.FileNameLength);
    unsigned char* at = records.data() + records.size() - sizeof record - record.FileNameLength;
    std::memcpy(at, &record, sizeof record);
    std::memcpy(at + offsetof(FILE_ID_BOTH_DIR_INFO, FileName), name.data(), record.FileNameLength);
  }
  std::vector<FolderEntry> entries;
  AppendListedEntries(records.data(), 7, entries);
  ASSERT_EQ(entries.size(), names.size());
  for (std::size_t k = 0; k < entries.size(); ++k) {
    ASSERT_EQ(ExtendedPathFromUtf8("C:\\card\\" + entries[k].name), L"\\\\?\\C:\\card\\" + names[k]) << k;
    EXPECT_EQ(WideTextFromUtf8(entries[k].name), names[k]);
  }
}

}  // namespace
}  // namespace tailmend::test
