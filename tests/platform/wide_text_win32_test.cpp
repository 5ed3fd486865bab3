// Windows names are UTF-16 that need not be valid: NTFS keeps an unpaired surrogate. Every name
// must come back from the program's narrow spelling as it was, never as another file's name. Wine
// cannot make such files, so the conversions are proven here, and at the folder walk's seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/extended_path_win32.h"
#include "platform/folder_listing_win32.h"
#include "platform/wide_text_win32.h"

namespace tailmend::test {
namespace {

TEST(WideText, EveryWideNameComesBackAsItWasAndNoTwoShareASpelling) {
  // Units that meet every rule: ASCII, two- and three-byte characters, both halves of a pair alone
  // and together, the replacement character an old conversion put in their place.
  const wchar_t units[] = {L'a', L'\\', 0x0424, 0xFFFD, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xD83D, 0xDCF7};
  std::mt19937 random(20260611);
  for (int k = 0; k < 3000; ++k) {
    std::wstring wide;
    for (std::size_t n = random() % 6; n > 0; --n) wide += units[random() % std::size(units)];
    const std::string narrow = Utf8FromWide(wide);
    ASSERT_EQ(WideFromUtf8(narrow), wide) << ::testing::PrintToString(narrow);
    EXPECT_EQ(WideTextFromUtf8(narrow), wide) << "shown as it is named";
  }
  EXPECT_NE(Utf8FromWide(L"s\xD800.crw"), Utf8FromWide(L"s\xFFFD.crw"));
}

TEST(WideText, TextThatSpellsNoWideNameNamesNone) {
  for (const char* text : {"\xff", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xE2\x82", "\xED\xA0",
                           // A pair spelt as two surrogates: the pair's own spelling is its four bytes.
                           "\xED\xA0\xBD\xED\xB3\xB7"}) {
    EXPECT_EQ(WideFromUtf8(text), std::nullopt) << ::testing::PrintToString(std::string(text));
  }
  EXPECT_EQ(WideTextFromUtf8("a\xff" "b"), L"a\xFFFD" L"b");
}

// One record as the system lists it: the fixed part, then the name.
void AppendRecord(std::vector<unsigned char>& records, const std::wstring& name, bool last) {
  const std::size_t at = records.size();
  const std::size_t size = (offsetof(FILE_ID_BOTH_DIR_INFO, FileName) + name.size() * sizeof(wchar_t) + 7) / 8 * 8;
  records.resize(at + size);
  FILE_ID_BOTH_DIR_INFO record{};
  record.NextEntryOffset = last ? 0 : static_cast<DWORD>(size);
  record.FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  record.FileId.QuadPart = static_cast<LONGLONG>(at + 1);
  std::memcpy(records.data() + at, &record, offsetof(FILE_ID_BOTH_DIR_INFO, FileName));
  std::memcpy(records.data() + at + offsetof(FILE_ID_BOTH_DIR_INFO, FileName), name.data(), record.FileNameLength);
}

TEST(WideText, AListedNameWithAnUnpairedSurrogateNamesThatFileAgain) {
  const std::wstring names[] = {L"s\xD800.crw", L"s\xFFFD.crw", L"\xDC00\xD800.crw"};
  std::vector<unsigned char> records;
  for (const std::wstring& name : names) AppendRecord(records, name, &name == &names[2]);
  std::vector<FolderEntry> entries;
  AppendListedEntries(records.data(), 7, entries);
  ASSERT_EQ(entries.size(), std::size(names));
  for (std::size_t k = 0; k < entries.size(); ++k) {
    EXPECT_EQ(ExtendedPathFromUtf8("C:\\card\\" + entries[k].name), L"\\\\?\\C:\\card\\" + names[k]) << k;
  }
}

}  // namespace
}  // namespace tailmend::test
