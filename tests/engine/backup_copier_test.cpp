#include <gtest/gtest.h>

#include <filesystem>

#include "engine/backup_copier.h"
#include "platform/file_stream.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

TEST(BackupName, DropsTheLastFourCharactersAndAddsANumberedLowerCaseExtension) {
  EXPECT_EQ(BackupName("x.CRW", 0), "x_bak0.crw");
  EXPECT_EQ(BackupName("IMG_0042.crw", 17), "IMG_0042_bak17.crw");
  EXPECT_EQ(BackupName("photo1", 0), "ph_bak0.crw");
  EXPECT_EQ(BackupName("abc", 3), "_bak3.crw");
  EXPECT_EQ(BackupName("", 0), "_bak0.crw");
}

TEST(BackupName, CountsCharactersNotBytes) {
  EXPECT_EQ(BackupName("\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE.CRW", 0), "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE_bak0.crw");
  // Four three-byte characters as the "extension".
  EXPECT_EQ(BackupName("a\xE5\x86\x99\xE7\x9C\x9F\xE5\x86\x99\xE7\x9C\x9F", 0), "a_bak0.crw");
}

#ifndef _WIN32
TEST(BackupName, KeepsTheFolderUpToTheLastSlash) {
  EXPECT_EQ(BackupName("/photos/2026/IMG_0042.CRW", 1), "/photos/2026/IMG_0042_bak1.crw");
  EXPECT_EQ(BackupName("/photos/abc", 0), "/photos/_bak0.crw");
  EXPECT_EQ(BackupName("/odd\\name.CRW", 0), "/odd\\name_bak0.crw") << "a backslash is part of a POSIX name";
}
#endif

class BackupCopy : public ::testing::Test {
protected:
  TempDir dir;

  bool Backup(const std::string& path) {
    auto stream = FileStream::OpenReadWriteShared(path);
    return BackupSourceFile(path, stream);
  }
  std::string Source(const Bytes& bytes) {
    const std::string path = dir.File("IMG_0042.CRW");
    WriteBytes(path, bytes);
    return path;
  }
};

TEST_F(BackupCopy, CopiesEveryByteToTheFirstFreeNumber) {
  const Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(333).Build();
  const std::string source = Source(bytes);
  ASSERT_TRUE(Backup(source));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), bytes);
  ASSERT_TRUE(Backup(source));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), bytes);
  EXPECT_EQ(ReadBytes(source), bytes) << "the source is only read";
}

TEST_F(BackupCopy, ExistingBackupsAreNeverTouched) {
  const std::string source = Source(Bytes(1000, 7));
  WriteBytes(dir.File("IMG_0042_bak0.crw"), Bytes{0});
  WriteBytes(dir.File("IMG_0042_bak1.crw"), Bytes{1});
  ASSERT_TRUE(Backup(source));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), Bytes{0});
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), Bytes{1});
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak2.crw")), Bytes(1000, 7));
}

TEST_F(BackupCopy, BlockEdgesAndEmptyFilesCopyExactly) {
  for (std::size_t size : {0u, 1u, 102399u, 102400u, 102401u, 204800u}) {
    TempDir own;
    const std::string source = own.File("s.crw");
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
    WriteBytes(source, bytes);
    auto stream = FileStream::OpenReadWriteShared(source);
    ASSERT_TRUE(BackupSourceFile(source, stream)) << size;
    EXPECT_EQ(ReadBytes(own.File("s_bak0.crw")), bytes) << size;
    unsigned char probe = 0;
    EXPECT_EQ(stream.Read(&probe, 1), 0u) << "the source is left at its end";
  }
}

TEST_F(BackupCopy, AFolderOfTheBackupNameMovesOnToTheNextNumber) {
  const std::string source = Source(Bytes(10, 1));
  fs::create_directory(dir.File("IMG_0042_bak0.crw"));
  ASSERT_TRUE(Backup(source));
  EXPECT_TRUE(fs::is_directory(dir.File("IMG_0042_bak0.crw")));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), Bytes(10, 1));
}

TEST_F(BackupCopy, AFailingReadLeavesNoHalfCopy) {
  const std::string name = dir.File("IMG_0042.CRW");
  MemoryStream source(Bytes(300000, 5));
  source.FailReadsFrom(150000);
  EXPECT_FALSE(BackupSourceFile(name, source));
  EXPECT_FALSE(fs::exists(dir.File("IMG_0042_bak0.crw")));
}

TEST_F(BackupCopy, ACopyShorterThanTheSourceIsAFailure) {
  const std::string name = dir.File("IMG_0042.CRW");
  MemoryStream source(Bytes(300000, 5));
  source.ReadableUpTo(250000);
  EXPECT_FALSE(BackupSourceFile(name, source));
  EXPECT_FALSE(fs::exists(dir.File("IMG_0042_bak0.crw")));
}

TEST_F(BackupCopy, AFolderThatDoesNotExistFailsCleanly) {
  MemoryStream source(Bytes(1000, 5));
  EXPECT_FALSE(BackupSourceFile(dir.File("nowhere/IMG.CRW"), source));
  EXPECT_FALSE(fs::exists(dir.File("nowhere")));
}

}  // namespace
}  // namespace tailmend::test
