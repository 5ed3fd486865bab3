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

// Another program's handle on a test file, closed at the end of the test.
class OtherHandle {
public:
  OtherHandle(const std::wstring& path, DWORD access, DWORD share)
      : handle_(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  OtherHandle(const OtherHandle&) = delete;
  OtherHandle& operator=(const OtherHandle&) = delete;
  ~OtherHandle() {
    if (IsOpen()) ::CloseHandle(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

private:
  HANDLE handle_;
};

std::int64_t SizeThrough(HANDLE handle) {
  LARGE_INTEGER size{};
  ::GetFileSizeEx(handle, &size);
  return size.QuadPart;
}

void ExpectOpenError(const PlatformError& error, const std::string& path, DWORD code) {
  ExpectPrefixAndSystemMessage(error.what(), "Cannot open file \"" + path + "\". ", code);
}

class ShareModeTest : public ::testing::Test {
protected:
  TempFolder folder;
  const Bytes original = MakeCrw(kHeapEnd, 1000);
};

TEST_F(ShareModeTest, FileHeldOpenForSharedReadingAndWritingIsRepairedAndBackedUp) {
  const std::string path = folder.Write(L"IMG_0001.CRW", original);
  const OtherHandle other(folder.Wide(L"IMG_0001.CRW"), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(other.IsOpen());

  RecordingSink sink(true);
  ProcessFiles({path}, sink);

  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].second, "Done");
  EXPECT_EQ(SizeThrough(other.Get()), kHeapEnd);
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0001.CRW")), Bytes(original.begin(), original.begin() + kHeapEnd));
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0001_bak0.crw")), original);
}

// A program that lets others only read, or nobody at all, keeps the repair out. The run stops at
// that file with the open error: the row added before stays, the files after are not visited.
TEST_F(ShareModeTest, FileLockedAgainstWritingFailsToOpenWithTheSystemMessage) {
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE(share);
    const std::string first = folder.Write(L"first.CRW", original);
    const std::string locked = folder.Write(L"locked.CRW", original);
    const std::string last = folder.Write(L"last.CRW", original);
    RecordingSink sink(false);
    {
      const OtherHandle other(folder.Wide(L"locked.CRW"), GENERIC_READ, share);
      ASSERT_TRUE(other.IsOpen());
      try {
        ProcessFiles({first, locked, last}, sink);
        ADD_FAILURE() << "the locked file was opened";
      } catch (const PlatformError& error) {
        ExpectOpenError(error, locked, ERROR_SHARING_VIOLATION);
      }
    }
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0], std::make_pair(first, std::string("Done")));
    EXPECT_EQ(ReadWhole(folder.Wide(L"locked.CRW")), original);
    EXPECT_EQ(ReadWhole(folder.Wide(L"last.CRW")), original);
  }
}

// Wine run by root maps the attribute to Unix permissions, which root ignores: there the system
// itself lets the file be written, and there is nothing to compare with.
bool SystemRefusesWriting(const std::wstring& path) {
  const OtherHandle writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  return !writer.IsOpen();
}

TEST_F(ShareModeTest, ReadOnlyFileFailsToOpenAndIsLeftAlone) {
  const std::string path = folder.Write(L"IMG_0002.CRW", original);
  ASSERT_TRUE(::SetFileAttributesW(folder.Wide(L"IMG_0002.CRW").c_str(), FILE_ATTRIBUTE_READONLY));
  if (!SystemRefusesWriting(folder.Wide(L"IMG_0002.CRW"))) {
    GTEST_SKIP() << "this system opens read-only files for writing (Wine run as root)";
  }

  RecordingSink sink(true);
  try {
    ProcessFiles({path}, sink);
    ADD_FAILURE() << "the read-only file was opened for writing";
  } catch (const PlatformError& error) {
    ExpectOpenError(error, path, ERROR_ACCESS_DENIED);
  }
  EXPECT_TRUE(sink.rows.empty());
  EXPECT_EQ(ReadWhole(folder.Wide(L"IMG_0002.CRW")), original);
  EXPECT_FALSE(Exists(folder.Wide(L"IMG_0002_bak0.crw")));
}

// While the repair holds a file, others may read and write it but not delete it; the document
// viewer's read-only open lets others read only.
TEST_F(ShareModeTest, OwnHandlesGrantExactlyTheirShareModes) {
  const std::wstring wide = folder.Wide(L"held.CRW");
  const std::string path = folder.Write(L"held.CRW", original);
  {
    const auto repair = FileStream::OpenReadWriteShared(path);
    EXPECT_TRUE(OtherHandle(wide, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
    EXPECT_FALSE(::DeleteFileW(wide.c_str()));
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
  }
  {
    const auto viewer = FileStream::OpenReadSharedRead(path);
    EXPECT_TRUE(OtherHandle(wide, GENERIC_READ, FILE_SHARE_READ).IsOpen());
    EXPECT_FALSE(OtherHandle(wide, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
  }
  EXPECT_TRUE(OtherHandle(wide, GENERIC_READ | GENERIC_WRITE, 0).IsOpen()) << "a handle was left open";
}

TEST_F(ShareModeTest, DevicesAndUndecodableNamesAreNotOpened) {
  EXPECT_THROW(FileStream::OpenReadWriteShared("NUL"), PlatformError);
  const std::string undecodable = folder.Utf8(L"bad") + "\xC3\x28.CRW";
  try {
    FileStream::OpenReadWriteShared(undecodable);
    ADD_FAILURE() << "a name that is not UTF-8 was opened";
  } catch (const PlatformError& error) {
    ExpectOpenError(error, undecodable, ERROR_NO_UNICODE_TRANSLATION);
  }
  EXPECT_FALSE(FileExists(undecodable));
}

}  // namespace
}  // namespace tailmend::test
