#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {
namespace {


// Another program's handle on a test file, closed at the end of the test.
class OtherHandle {
public:
  OtherHandle(const std::string& path, DWORD access, DWORD share)
      : handle_(::CreateFileW(Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr)) {}
  OtherHandle(const OtherHandle&) = delete;
  OtherHandle& operator=(const OtherHandle&) = delete;
  ~OtherHandle() {
    if (IsOpen()) ::CloseHandle(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  std::int64_t Size() const {
    LARGE_INTEGER size{};
    ::GetFileSizeEx(handle_, &size);
    return size.QuadPart;
  }

private:
  HANDLE handle_;
};

// Read-only files cannot be removed with their folder; the attribute goes when the test ends.
class ReadOnlyAttribute {
public:
  explicit ReadOnlyAttribute(const std::string& path) : path_(Wide(path)) {
    set_ = ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
  }
  ReadOnlyAttribute(const ReadOnlyAttribute&) = delete;
  ReadOnlyAttribute& operator=(const ReadOnlyAttribute&) = delete;
  ~ReadOnlyAttribute() { ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }
  bool IsSet() const { return set_; }

private:
  std::wstring path_;
  bool set_;
};

void ExpectOpenError(const PlatformError& error, const std::string& path, DWORD code) {
  ExpectPrefixAndSystemMessage(error.what(), "Cannot open file \"" + path + "\". ", code);
}

class ShareModes : public PhotoFolderTest {
protected:
  RecordingSink sink;
};

TEST_F(ShareModes, FileHeldOpenForSharedReadingAndWritingIsRepairedAndBackedUp) {
  const std::string path = dir.Put("IMG_0001.CRW", damaged);
  const OtherHandle other(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(other.IsOpen());
  sink.backup = true;

  ProcessFiles({path}, sink);

  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].result.event, Event::Done);
  EXPECT_EQ(other.Size(), kPhotoHeapEnd);
  EXPECT_EQ(ReadBytes(path), healthy);
  EXPECT_EQ(ReadBytes(dir.File("IMG_0001_bak0.crw")), damaged);
}

// A program that lets others only read, or nobody at all, keeps the repair out. The run stops at
// that file with the open error: the row added before stays, the files after are not visited.
TEST_F(ShareModes, FileLockedAgainstWritingFailsToOpenWithTheSystemMessage) {
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE(share);
    RecordingSink run;
    const std::string first = dir.Put("first.CRW", damaged);
    const std::string locked = dir.Put("locked.CRW", damaged);
    const std::string last = dir.Put("last.CRW", damaged);
    {
      const OtherHandle other(locked, GENERIC_READ, share);
      ASSERT_TRUE(other.IsOpen());
      try {
        ProcessFiles({first, locked, last}, run);
        ADD_FAILURE() << "the locked file was opened";
      } catch (const PlatformError& error) {
        ExpectOpenError(error, locked, ERROR_SHARING_VIOLATION);
      }
    }
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0].file, first);
    EXPECT_EQ(run.rows[0].result.event, Event::Done);
    EXPECT_EQ(ReadBytes(locked), damaged);
    EXPECT_EQ(ReadBytes(last), damaged);
  }
}

// Wine run by root maps the attribute to Unix permissions, which root ignores: there the system
// itself lets the file be written, and there is nothing to compare with.
bool SystemRefusesWriting(const std::string& path) {
  return !OtherHandle(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen();
}

TEST_F(ShareModes, ReadOnlyFileFailsToOpenAndIsLeftAlone) {
  const std::string path = dir.Put("IMG_0002.CRW", damaged);
  const ReadOnlyAttribute readOnly(path);
  ASSERT_TRUE(readOnly.IsSet());
  if (!SystemRefusesWriting(path)) GTEST_SKIP() << "this system opens read-only files for writing (Wine run as root)";
  sink.backup = true;

  try {
    ProcessFiles({path}, sink);
    ADD_FAILURE() << "the read-only file was opened for writing";
  } catch (const PlatformError& error) {
    ExpectOpenError(error, path, ERROR_ACCESS_DENIED);
  }
  EXPECT_TRUE(sink.rows.empty());
  EXPECT_EQ(ReadBytes(path), damaged);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / L"IMG_0002_bak0.crw"));
}

// While the repair holds a file, others may read and write it but not delete it; the document
// viewer's read-only open lets others read only. Every handle is gone afterwards.
TEST_F(ShareModes, OwnHandlesGrantExactlyTheirShareModes) {
  const std::string path = dir.Put("held.CRW", damaged);
  {
    const auto repair = FileStream::OpenReadWriteShared(path);
    EXPECT_TRUE(OtherHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
    EXPECT_FALSE(::DeleteFileW(Wide(path).c_str()));
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
  }
  {
    const auto viewer = FileStream::OpenReadSharedRead(path);
    EXPECT_TRUE(OtherHandle(path, GENERIC_READ, FILE_SHARE_READ).IsOpen());
    EXPECT_FALSE(OtherHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
  }
  EXPECT_TRUE(OtherHandle(path, GENERIC_READ | GENERIC_WRITE, 0).IsOpen()) << "a handle was left open";
}

TEST_F(ShareModes, DevicesAndUndecodableNamesAreNotOpened) {
  EXPECT_THROW(FileStream::OpenReadWriteShared("NUL"), PlatformError);
  const std::string undecodable = dir.File("bad") + "\xC3\x28.CRW";
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
