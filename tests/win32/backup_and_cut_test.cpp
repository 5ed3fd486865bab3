#include <windows.h>

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "tests/win32/crw_file.h"
#include "tests/win32/recording_sink.h"
#include "tests/win32/system_text_check.h"
#include "tests/win32/temp_folder.h"

namespace tailmend::test {
namespace {

Bytes Prefix(const Bytes& bytes, std::size_t length) { return Bytes(bytes.begin(), bytes.begin() + length); }

class BackupAndCutTest : public ::testing::Test {
protected:
  TempFolder folder;
};

TEST_F(BackupAndCutTest, CutRemovesExactlyTheBytesFromTheLengthFound) {
  for (const std::uint32_t junk : {1u, 4096u, 1u << 20}) {
    SCOPED_TRACE(junk);
    const Bytes original = MakeCrw(kHeapEnd, junk);
    const std::string path = folder.Write(L"IMG_0042.CRW", original);
    RecordingSink sink(false);
    ProcessFiles({path}, sink);
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0].second, "Done");
    EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042.CRW")), Prefix(original, kHeapEnd));
    EXPECT_FALSE(Exists(folder.Wide(L"IMG_0042_bak0.crw")));
  }
}

// Names outside every ANSI code page must reach the wide API intact, both for the photo and for
// the backup named after it.
TEST_F(BackupAndCutTest, NameOutsideTheAnsiCodePageIsRepairedAndBackedUp) {
  const std::wstring name = L"\u0421\u043D\u0438\u043C\u043E\u043A_\u6771\u4EAC_0042.CRW";
  const std::wstring backup = L"\u0421\u043D\u0438\u043C\u043E\u043A_\u6771\u4EAC_0042_bak0.crw";
  const Bytes original = MakeCrw(kHeapEnd, 5000);
  const std::string path = folder.Write(name, original);
  ASSERT_NE(path.find("\xD0\xA1\xD0\xBD"), std::string::npos) << "the path handed over is not UTF-8";

  RecordingSink sink(true);
  ProcessFiles({path}, sink);

  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0], std::make_pair(path, std::string("Done")));
  EXPECT_EQ(ReadWhole(folder.Wide(name)), Prefix(original, kHeapEnd));
  EXPECT_EQ(ReadWhole(folder.Wide(backup)), original);
}

// Whatever holds a backup name, a file or a folder, stays as it is; the copy takes the next number.
TEST_F(BackupAndCutTest, TakenBackupNamesMoveToTheNextNumber) {
  const Bytes original = MakeCrw(kHeapEnd, 300);
  const Bytes older = {'o', 'l', 'd'};
  const std::string path = folder.Write(L"IMG_0042.CRW", original);
  folder.Write(L"IMG_0042_bak0.crw", older);
  ASSERT_TRUE(::CreateDirectoryW(folder.Wide(L"IMG_0042_bak1.crw").c_str(), nullptr));

  auto stream = FileStream::OpenReadWriteShared(path);
  ASSERT_TRUE(BackupSourceFile(path, stream));

  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042_bak0.crw")), older);
  EXPECT_TRUE(IsFolder(folder.Wide(L"IMG_0042_bak1.crw")));
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042_bak2.crw")), original);
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042.CRW")), original);
}

TEST_F(BackupAndCutTest, NewFileIsExclusiveAndNeverReplacesAnything) {
  const std::wstring wide = folder.Wide(L"new.crw");
  const std::string path = folder.Utf8(L"new.crw");
  {
    auto created = FileStream::CreateNew(path);
    ASSERT_TRUE(created.has_value());
    const HANDLE other = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "the new file is shared";
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    EXPECT_EQ(created->Write("abc", 3), 3u);
    created->Flush();
    created->Close();
  }
  EXPECT_FALSE(FileStream::CreateNew(path).has_value());
  EXPECT_EQ(ReadWhole(wide), (Bytes{'a', 'b', 'c'}));
}

// A folder that does not exist refuses every name for the same reason: the backup fails at once
// instead of counting up for ever, and nothing is cut.
TEST_F(BackupAndCutTest, BackupIntoMissingFolderFailsAndLeavesTheSourceUncut) {
  const Bytes original = MakeCrw(kHeapEnd, 300);
  const std::string path = folder.Write(L"IMG_0042.CRW", original);
  auto stream = FileStream::OpenReadWriteShared(path);
  EXPECT_FALSE(BackupSourceFile(folder.Utf8(L"missing\\IMG_0042.CRW"), stream));
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042.CRW")), original);
}

// What SetEndOfFile itself answers on a handle that may not write; Windows and Wine differ in the
// code.
DWORD CodeOfCutThroughReadOnlyHandle(const std::wstring& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD code = ::SetEndOfFile(handle) ? DWORD{0} : ::GetLastError();
  ::CloseHandle(handle);
  return code;
}

// The size change reports the code and the system's message on a second line, CR LF on Windows.
TEST_F(BackupAndCutTest, FailedCutReportsTheSystemErrorAndKeepsTheFile) {
  const Bytes original = MakeCrw(kHeapEnd, 300);
  const std::string path = folder.Write(L"IMG_0042.CRW", original);
  const DWORD code = CodeOfCutThroughReadOnlyHandle(folder.Wide(L"IMG_0042.CRW"));
  ASSERT_NE(code, 0u);
  {
    auto stream = FileStream::OpenReadSharedRead(path);
    try {
      stream.SetEnd(kHeapEnd);
      ADD_FAILURE() << "a read-only handle changed the size";
    } catch (const PlatformError& error) {
      ExpectPrefixAndSystemMessage(error.what(), "System Error.  Code: " + std::to_string(code) + ".\r\n", code);
    }
  }
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0042.CRW")), original);
}

}  // namespace
}  // namespace tailmend::test
