#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine.h"
#include "engine/folder_walk.h"
#include "platform/file_stream.h"
#include "platform/held_folder.h"
#include "platform/platform_error.h"
#include "platform/wide_text_win32.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;


class BackupAndCut : public PhotoFolderTest {
protected:
  RecordingSink sink;
};

TEST_F(BackupAndCut, CutRemovesExactlyTheBytesFromTheLengthFound) {
  for (const std::size_t junk : {std::size_t{1}, std::size_t{4096}, std::size_t{1} << 20}) {
    SCOPED_TRACE(junk);
    RecordingSink run;
    const std::string path = dir.Put("IMG_0042.CRW", CiffBuilder().HeapEnd(kPhotoHeapEnd).Junk(junk, 0xEE).Build());
    ProcessFiles({path}, run);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0].result.event, Event::Done);
    EXPECT_EQ(ReadBytes(path), healthy);
    EXPECT_FALSE(fs::exists(dir.File("IMG_0042_bak0.crw")));
  }
}

// Names outside every ANSI code page must reach the wide API intact, both for the photo and for
// the backup named after it.
TEST_F(BackupAndCut, NameOutsideTheAnsiCodePageIsRepairedAndBackedUp) {
  const std::string path = dir.Put("Снимок_東京_0042.CRW", damaged);
  sink.backup = true;

  ProcessFiles({path}, sink);

  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].file, path);
  EXPECT_EQ(sink.rows[0].result.event, Event::Done);
  EXPECT_EQ(ReadBytes(path), healthy);
  const fs::path backup = dir.Path() / L"\u0421\u043D\u0438\u043C\u043E\u043A_\u6771\u4EAC_0042_bak0.crw";
  ASSERT_TRUE(fs::exists(backup));
  EXPECT_EQ(ReadBytes(dir.File("Снимок_東京_0042_bak0.crw")), damaged);
}

// Whatever holds a backup name, a file or a folder, stays as it is; the copy takes the next number.
TEST_F(BackupAndCut, TakenBackupNamesMoveToTheNextNumber) {
  const Bytes older = {'o', 'l', 'd'};
  const std::string path = dir.Put("IMG_0042.CRW", damaged);
  dir.Put("IMG_0042_bak0.crw", older);
  fs::create_directory(dir.Path() / "IMG_0042_bak1.crw");

  auto stream = FileStream::OpenReadWriteShared(path);
  ASSERT_TRUE(BackupSourceFile(path, stream));

  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), older);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "IMG_0042_bak1.crw"));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak2.crw")), damaged);
  EXPECT_EQ(ReadBytes(path), damaged);
}

TEST_F(BackupAndCut, NewFileIsExclusiveAndNeverReplacesAnything) {
  const std::string path = dir.File("new.crw");
  const HeldFolder folder = HeldFolder::Open(dir.Path().string());
  {
    auto created = folder.CreateNew("new.crw");
    ASSERT_TRUE(created.has_value());
    const HANDLE other = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "the new file is shared";
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    EXPECT_EQ(created->Write("abc", 3), 3u);
    created->Flush();
    created->Close();
  }
  EXPECT_FALSE(folder.CreateNew("new.crw").has_value());
  EXPECT_EQ(ReadBytes(path), (Bytes{'a', 'b', 'c'}));
}

// A folder that does not exist refuses every name for the same reason: the backup fails at once
// instead of counting up for ever, and nothing is left behind.
TEST_F(BackupAndCut, BackupIntoMissingFolderFails) {
  const std::string path = dir.Put("IMG_0042.CRW", damaged);
  auto stream = FileStream::OpenReadWriteShared(path);
  EXPECT_FALSE(BackupSourceFile(dir.File("missing") + "\\IMG_0042.CRW", stream));
  EXPECT_EQ(ReadBytes(path), damaged);
  EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
}

// What SetEndOfFile itself answers on a handle that may not write; Windows and Wine differ in the
// code.
DWORD CodeOfCutThroughReadOnlyHandle(const std::string& path) {
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD code = ::SetEndOfFile(handle) ? DWORD{0} : ::GetLastError();
  ::CloseHandle(handle);
  return code;
}

// The size change reports the code and the system's message on a second line, CR LF on Windows.
TEST_F(BackupAndCut, FailedCutReportsTheSystemErrorAndKeepsTheFile) {
  const std::string path = dir.Put("IMG_0042.CRW", damaged);
  const DWORD code = CodeOfCutThroughReadOnlyHandle(path);
  ASSERT_NE(code, 0u);
  {
    auto stream = FileStream::OpenReadSharedRead(path);
    try {
      stream.SetEnd(kPhotoHeapEnd);
      ADD_FAILURE() << "a read-only handle changed the size";
    } catch (const PlatformError& error) {
      ExpectPrefixAndSystemMessage(error.what(), "System Error.  Code: " + std::to_string(code) + ".\r\n", code);
    }
  }
  EXPECT_EQ(ReadBytes(path), damaged);
}

// The access-control list of a file, in the system's own text form.
std::string DaclOf(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  if (::GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
    return "";
  }
  LPWSTR text = nullptr;
  std::string written;
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
    written = Utf8FromWide(text);
    ::LocalFree(text);
  }
  ::LocalFree(descriptor);
  return written;
}

// Gives a file or folder this access-control list, kept from what its folder passes on; false
// where the system keeps none here (Wine 8 answers that it did, and then shows a list of its own).
bool SetProtectedDacl(const std::string& path, const wchar_t* text) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  const DWORD set = ::SetNamedSecurityInfoW(Wide(path).data(), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                            nullptr, dacl, nullptr);
  ::LocalFree(descriptor);
  return set == ERROR_SUCCESS && DaclOf(path).starts_with("D:P");
}

// The backup gets the photo's access-control list, not what the folder would give a new file.
TEST_F(BackupAndCut, TheBackupHasThePhotosAccessControlList) {
  const std::string path = dir.Put("IMG_0042.CRW", damaged);
  // Only its owner and the system may touch this photo, and nothing is inherited from the folder.
  if (!SetProtectedDacl(path, L"D:P(A;;FA;;;OW)(A;;FA;;;SY)")) {
    GTEST_SKIP() << "this system keeps no access-control lists here";
  }
  sink.backup = true;
  ProcessFiles({path}, sink);
  ASSERT_EQ(sink.Events(), std::vector<Event>{Event::Done});
  EXPECT_EQ(DaclOf(dir.File("IMG_0042_bak0.crw")), DaclOf(path));
}

// The output folder and each folder entered below it can be neither renamed nor replaced while
// they are held, so that the names made below them stay there.
TEST_F(BackupAndCut, HeldFoldersCannotBeMovedAway) {
  fs::create_directories(dir.Path() / "fixed");
  HeldFolder folder = HeldFolder::Open(dir.File("fixed"));
  folder.Enter("sub", dir.Path().string());
  for (const char* name : {"fixed\\sub", "fixed"}) {
    EXPECT_FALSE(::MoveFileExW(Wide(dir.File(name)).c_str(), Wide(dir.File("moved")).c_str(), 0)) << name;
  }
}

// A folder made for a repaired copy gets the access-control list of the card's folder it stands
// for, not what the output folder would pass on.
TEST_F(BackupAndCut, AFolderMadeForARepairedCopyHasItsFoldersAccessControlList) {
  fs::create_directories(dir.Path() / "card" / "sub");
  dir.Put("card\\sub\\IMG_0042.CRW", damaged);
  if (!SetProtectedDacl(dir.File("card\\sub"), L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;SY)")) {
    GTEST_SKIP() << "this system keeps no access-control lists here";
  }
  ProcessFiles(ExpandFileArguments({dir.File("card")}).files, sink, {OnFileError::EndRun, false, dir.File("fixed")});
  ASSERT_EQ(sink.Events(), std::vector<Event>{Event::Done});
  EXPECT_EQ(DaclOf(dir.File("fixed\\sub")), DaclOf(dir.File("card\\sub")));
}

}  // namespace
}  // namespace tailmend::test
