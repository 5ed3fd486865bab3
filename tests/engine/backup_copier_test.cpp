#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>

#include <cerrno>

#include "engine/backup_copier.h"
#include "platform/fault_injection.h"
#include "platform/file_stream.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"
#include "tests/support/system_codes.h"
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

// A folder walk leaves backups out by this test: every name BackupName makes must pass it, and
// photos that merely look similar must not.
TEST(BackupName, IsRecognisedAndPhotosAreNot) {
  for (const char* photo : {"IMG_0042.CRW", "x.crw", "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE.CRW", "abc"}) {
    for (const unsigned long long number : {0ULL, 9ULL, 10ULL, 12345ULL}) {
      EXPECT_TRUE(IsBackupName(BackupName(photo, number))) << BackupName(photo, number);
    }
    EXPECT_FALSE(IsBackupName(photo)) << photo;
  }
  for (const char* photo : {"IMG_bak.crw", "IMG_bak1.CRW", "IMG_bak1x.crw", "IMG_1.crw", "bak1.crw", "_bak1.crw.tmp"}) {
    EXPECT_FALSE(IsBackupName(photo)) << photo;
  }
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

// A file is copied by the system where it can be, anything else block by block: both ways copy
// every size exactly and leave the source at its end.
TEST_F(BackupCopy, BlockEdgesAndEmptyFilesCopyExactly) {
  for (std::size_t size : {0u, 1u, 102399u, 102400u, 102401u, 204800u}) {
    TempDir own;
    const std::string source = own.File("s.crw");
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
    WriteBytes(source, bytes);
    auto file = FileStream::OpenReadWriteShared(source);
    MemoryStream memory(bytes);
    for (Stream* stream : std::initializer_list<Stream*>{&file, &memory}) {
      stream->Seek(static_cast<std::int64_t>(size / 2));  // where the tail search may leave it
      ASSERT_TRUE(BackupSourceFile(source, *stream)) << size;
      EXPECT_EQ(ReadBytes(own.File("s_bak0.crw")), bytes) << size;
      fs::remove(own.File("s_bak0.crw"));
      unsigned char probe = 0;
      EXPECT_EQ(stream->Read(&probe, 1), 0u) << "the source is left at its end";
    }
  }
}

TEST_F(BackupCopy, AFolderOfTheBackupNameMovesOnToTheNextNumber) {
  const std::string source = Source(Bytes(10, 1));
  fs::create_directory(dir.File("IMG_0042_bak0.crw"));
  ASSERT_TRUE(Backup(source));
  EXPECT_TRUE(fs::is_directory(dir.File("IMG_0042_bak0.crw")));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), Bytes(10, 1));
}

TEST_F(BackupCopy, AFailedCopyLeavesNothingBehind) {
  const std::string name = dir.File("IMG_0042.CRW");
  MemoryStream failing(Bytes(300000, 5));
  failing.FailReadsFrom(150000);
  MemoryStream shortened(Bytes(300000, 5));
  shortened.ReadableUpTo(250000);
  for (MemoryStream* source : {&failing, &shortened}) {
    EXPECT_FALSE(BackupSourceFile(name, *source));
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "neither a half copy nor its temporary";
  }
}

// Reads through to a file in memory; its first read notes what the folder holds while the copy is
// written and plants a file under the first backup name, as another program might meanwhile.
class NameTakenDuringCopy final : public Stream {
public:
  std::vector<std::string> namesDuringCopy;

  NameTakenDuringCopy(Bytes bytes, std::string taken) : inner_(std::move(bytes)), taken_(std::move(taken)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (!fs::exists(taken_)) {
      for (const auto& entry : fs::directory_iterator(fs::path(taken_).parent_path())) {
        namesDuringCopy.push_back(entry.path().filename().string());
      }
      WriteBytes(taken_, Bytes{'m', 'i', 'n', 'e'});
    }
    return inner_.Read(buffer, count);
  }
  std::size_t Write(const void* buffer, std::size_t count) override { return inner_.Write(buffer, count); }
  void Seek(std::int64_t offset) override { inner_.Seek(offset); }
  std::int64_t Size() override { return inner_.Size(); }
  void SetEnd(std::int64_t length) override { inner_.SetEnd(length); }

private:
  MemoryStream inner_;
  std::string taken_;
};

TEST_F(BackupCopy, ANameTakenWhileCopyingIsLeftAloneAndTheNextNumberUsed) {
  NameTakenDuringCopy source(Bytes(150000, 3), dir.File("IMG_0042_bak0.crw"));
  ASSERT_TRUE(BackupSourceFile(dir.File("IMG_0042.CRW"), source));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), (Bytes{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), Bytes(150000, 3));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2) << "no temporary is left";
  // While it is written, the copy has a name no backup numbering could give.
  ASSERT_EQ(source.namesDuringCopy.size(), 1u);
  EXPECT_TRUE(std::regex_match(source.namesDuringCopy[0], std::regex(R"(IMG_0042~[0-9a-f]{4}\.tmp)")))
      << source.namesDuringCopy[0];
}

// Holds more bytes than its size said when the copy began, like a photo that grows meanwhile.
class GrowingStream final : public Stream {
public:
  GrowingStream(std::size_t sizeAtStart, std::size_t sizeLater) : sizeAtStart_(sizeAtStart), bytes_(sizeLater, 6) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = std::min(count, bytes_.size() - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), n, static_cast<unsigned char*>(buffer));
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  void Seek(std::int64_t offset) override { position_ = static_cast<std::size_t>(offset); }
  std::int64_t Size() override { return static_cast<std::int64_t>(sizeAtStart_); }
  void SetEnd(std::int64_t) override {}

private:
  std::size_t sizeAtStart_;
  Bytes bytes_;
  std::size_t position_ = 0;
};

TEST_F(BackupCopy, APhotoThatGrowsDuringTheCopyIsNotBackedUp) {
  for (const std::size_t later : {204801u, 300000u}) {
    GrowingStream source(204800, later);
    EXPECT_FALSE(BackupSourceFile(dir.File("IMG_0042.CRW"), source)) << later;
    EXPECT_TRUE(fs::is_empty(dir.Path()));
  }
}

// What a killed run leaves is never taken for a backup, nor touched by the next one.
TEST_F(BackupCopy, ATemporaryLeftByAKilledRunIsNotABackup) {
  const std::string source = Source(Bytes(2000, 4));
  const std::string leftover = dir.Put("IMG_0042~0a1b.tmp", Bytes(10, 0));
  ASSERT_TRUE(Backup(source));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), Bytes(2000, 4));
  EXPECT_EQ(ReadBytes(leftover), Bytes(10, 0));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 3);
}

TEST_F(BackupCopy, TheBackupKeepsThePhotosModificationTime) {
  const std::string source = Source(Bytes(5000, 2));
  const auto photoTime = fs::last_write_time(source) - std::chrono::hours(24 * 400);
  fs::last_write_time(source, photoTime);
  ASSERT_TRUE(Backup(source));
  EXPECT_EQ(fs::last_write_time(dir.File("IMG_0042_bak0.crw")), photoTime);
}

TEST_F(BackupCopy, AFolderThatDoesNotExistFailsCleanly) {
  MemoryStream source(Bytes(1000, 5));
  EXPECT_FALSE(BackupSourceFile(dir.File("nowhere/IMG.CRW"), source));
  EXPECT_FALSE(fs::exists(dir.File("nowhere")));
}

// The name of a file of that many bytes, ending in .CRW.
std::string NameOfLength(std::size_t length) { return std::string(length - 4, 'n') + ".CRW"; }

// A name component holds at most 255 bytes here; the backup adds "_bak0.crw" to the name without
// its extension, and its temporary must never need more than that.
TEST_F(BackupCopy, AnyPhotoWhoseBackupNameFitsCanBeBackedUp) {
  for (const std::size_t length : {240u, 246u, 250u}) {
    const std::string source = dir.Put(NameOfLength(length), Bytes(3000, 9));
    ASSERT_TRUE(Backup(source)) << length;
    EXPECT_EQ(ReadBytes(BackupName(source, 0)), Bytes(3000, 9)) << length;
  }
  auto tooLong = FileStream::OpenReadWriteShared(dir.Put(NameOfLength(251), Bytes(10, 9)));
  const BackupOutcome outcome = BackUp(dir.File(NameOfLength(251)), tooLong);
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.failureReason.empty()) << "a failed backup says why";
}

// Runs the backup of a file in memory while the file layer's calls go through a test's policy.
class InterceptedBackup : public BackupCopy {
protected:
  ~InterceptedBackup() override { fault_injection::Disarm(); }

  bool BackupIntercepted(Stream& source, fault_injection::CallPolicy policy, std::string& reason) {
    fault_injection::Intercept(std::move(policy));
    BackupOutcome outcome = BackUp(dir.File("IMG_0042.CRW"), source);
    fault_injection::Disarm();
    reason = std::move(outcome.failureReason);
    return outcome.written;
  }
  // Fails the calls of one kind, in the order they come, with these codes (nothing lets one through).
  static fault_injection::CallPolicy FailingInTurn(FileOperation kind, std::vector<std::optional<int>> codes) {
    return [kind, codes, next = std::size_t{0}](FileOperation operation) mutable -> std::optional<int> {
      if (operation != kind || next == codes.size()) return std::nullopt;
      return codes[next++];
    };
  }
};

// Another run's temporary under the random name first chosen means a new name, not a failure. (The
// first call opens the folder.)
TEST_F(InterceptedBackup, ATakenTemporaryNameIsTriedAgain) {
  MemoryStream source(Bytes(5000, 1));
  std::string reason;
  ASSERT_TRUE(BackupIntercepted(
      source, FailingInTurn(FileOperation::Open, {std::nullopt, kNameTakenCode, kNameTakenCode}), reason));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), Bytes(5000, 1));
}

// A write that stores nothing without an error would leave a short copy under the backup name.
TEST_F(InterceptedBackup, AWriteThatStoresNothingFailsTheBackup) {
  MemoryStream source(Bytes(300000, 2));
  std::string reason;
  EXPECT_FALSE(BackupIntercepted(source, FailingInTurn(FileOperation::Write, {0}), reason));
  EXPECT_EQ(reason, "The copy could not be written whole");
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

#ifndef _WIN32
// The system's copy asks for a byte more than the size, so that a photo that grows just before the
// copy shows it: a backup of the photo as it was is no backup of the photo as it is cut.
TEST_F(InterceptedBackup, APhotoThatGrowsBeforeTheSystemCopyIsNotBackedUp) {
  const std::string photo = Source(Bytes(204800, 4));
  auto source = FileStream::OpenReadWriteShared(photo);
  std::string reason;
  const bool backedUp = BackupIntercepted(source, [&](FileOperation operation) -> std::optional<int> {
    if (operation == FileOperation::Copy && fs::file_size(photo) == 204800) std::ofstream(photo, std::ios::app) << 'g';
    return std::nullopt;
  }, reason);
  EXPECT_FALSE(backedUp);
  EXPECT_EQ(reason, "The file changed while it was being copied");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "only the photo";
}

// Where neither a hard link nor a rename that refuses to replace is offered (FAT through FUSE), the
// name is reserved by an exclusive create: a file already under it stays as it is, and a rename
// onto the reserved name that fails takes the empty reservation away again.
TEST_F(InterceptedBackup, TheLastResortNeverReplacesAFileUnderTheName) {
  WriteBytes(dir.File("IMG_0042_bak0.crw"), Bytes{'m', 'i', 'n', 'e'});
  MemoryStream source(Bytes(5000, 3));
  std::string reason;
  ASSERT_TRUE(BackupIntercepted(source, FailingInTurn(FileOperation::Name, {EPERM, EINVAL}), reason));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak0.crw")), (Bytes{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak1.crw")), Bytes(5000, 3));

  fs::remove(dir.File("IMG_0042_bak0.crw"));
  fs::remove(dir.File("IMG_0042_bak1.crw"));
  EXPECT_FALSE(BackupIntercepted(source, FailingInTurn(FileOperation::Name, {EPERM, EINVAL, EIO}), reason));
  EXPECT_TRUE(fs::is_empty(dir.Path())) << "neither the reservation nor the temporary stays";
}

// The temporary is removed only while it is ours: once it has its backup name, a file another
// program then puts under the temporary's old name is left alone.
TEST_F(InterceptedBackup, TheTemporarysOldNameIsNotRemovedOnceNamed) {
  MemoryStream source(Bytes(5000, 5));
  std::string temporary;
  std::string reason;
  ASSERT_TRUE(BackupIntercepted(source, [&](FileOperation operation) -> std::optional<int> {
    if (operation == FileOperation::Name && temporary.empty()) {
      for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().extension() == ".tmp") temporary = entry.path().string();
      }
    } else if (operation == FileOperation::Open && !temporary.empty() && !fs::exists(temporary)) {
      WriteBytes(temporary, Bytes{'o', 't', 'h', 'e', 'r'});
    }
    return std::nullopt;
  }, reason));
  ASSERT_FALSE(temporary.empty());
  EXPECT_EQ(ReadBytes(temporary), (Bytes{'o', 't', 'h', 'e', 'r'}));
}
#endif

}  // namespace
}  // namespace tailmend::test
