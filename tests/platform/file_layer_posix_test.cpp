// The repair against the real failures and limits of a POSIX file system: planted links, a full
// disk, a read-only mount, a cut the system refuses, a FAT memory card mounted through FUSE.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>

#include "engine/engine.h"
#include "platform/file_stream.h"
#include "platform/held_folder.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"
#include "tests/support/photos.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// A small tmpfs of its own, so a test can fill it up or make it read-only.
class SmallMount {
public:
  SmallMount(const fs::path& where, const std::string& options) : path_(where) {
    fs::create_directory(path_);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    error_ = errno;
  }
  ~SmallMount() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  SmallMount(const SmallMount&) = delete;
  SmallMount& operator=(const SmallMount&) = delete;

  bool Mounted() const { return mounted_; }
  std::string WhyNot() const { return std::string("cannot mount a tmpfs here: ") + std::strerror(error_); }
  bool MakeReadOnly() {
    return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
  fs::path path_;
  bool mounted_ = false;
  int error_ = 0;
};

// A FAT image mounted through FUSE, the way Linux may mount a memory card: no hard links, no
// rename that refuses to replace, no permission bits.
class FatCard {
public:
  explicit FatCard(const fs::path& where) : image_(where / "card.img"), path_(where / "card") {
    fs::create_directory(path_);
    fs::resize_file(WriteEmpty(image_), kImageSize);
    mounted_ = Shell("mkfs.fat -F 16 " + Quoted(image_) + " >/dev/null 2>&1") &&
               Shell("fusefat -o rw+ " + Quoted(image_) + " " + Quoted(path_) + " >/dev/null 2>&1");
  }
  ~FatCard() {
    if (mounted_) Shell("fusermount -u " + Quoted(path_));
  }
  FatCard(const FatCard&) = delete;
  FatCard& operator=(const FatCard&) = delete;

  bool Mounted() const { return mounted_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& Path() const { return path_; }

private:
  static constexpr std::uintmax_t kImageSize = 16 << 20;
  static bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }
  static std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }
  static const fs::path& WriteEmpty(const fs::path& path) {
    WriteBytes(path.string(), {});
    return path;
  }

  fs::path image_;
  fs::path path_;
  bool mounted_ = false;
};


mode_t PermissionBits(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

// A private photo stays private in its backup, and a shared one is shared alike, without the
// set-user and set-group bits; the backup is readable by nobody else while it is being written.
TEST(BackupPermissions, TheBackupHasThePhotosPermissionBits) {
  for (const mode_t mode : {0600, 0640, 0644, 0400, 0666, 06755}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    const std::string source = dir.Put("IMG_0042.CRW", Bytes(3000, 1));
    ASSERT_EQ(::chmod(source.c_str(), mode), 0);
    auto stream = FileStream::OpenReadWriteShared(source);
    ASSERT_TRUE(BackupSourceFile(source, stream));
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("IMG_0042_bak0.crw").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode & 0777);
  }
  TempDir dir;
  MemoryStream notAFile(Bytes(3000, 1));
  ASSERT_TRUE(BackupSourceFile(dir.File("IMG_0042.CRW"), notAFile));
  EXPECT_EQ(PermissionBits(dir.File("IMG_0042_bak0.crw")), 0600u) << "with no photo to follow, private";
}

// Who may read a file: its owner, group and permission bits, and its access ACL as text (for a file
// without one, the ACL its permission bits make).
struct Access {
  uid_t owner;
  gid_t group;
  mode_t bits;
  std::string acl;

  friend bool operator==(const Access&, const Access&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Access& a) {
    return out << a.owner << ":" << a.group << " " << std::oct << a.bits << std::dec << " " << a.acl;
  }
};

Access AccessOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  Access access{info.st_uid, info.st_gid, info.st_mode & 07777, ""};
  if (acl_t acl = ::acl_get_file(path.c_str(), ACL_TYPE_ACCESS)) {
    char* text = ::acl_to_any_text(acl, nullptr, ',', 0);
    access.acl = text ? text : "";
    ::acl_free(text);
    ::acl_free(acl);
  }
  return access;
}

bool SetAcl(const std::string& path, acl_type_t type, const char* text) {
  acl_t acl = ::acl_from_text(text);
  const bool set = acl && ::acl_set_file(path.c_str(), type, acl) == 0;
  ::acl_free(acl);
  return set;
}

std::string BackUp(const std::string& photo) {
  auto stream = FileStream::OpenReadWriteShared(photo);
  EXPECT_TRUE(BackupSourceFile(photo, stream));
  return BackupName(photo, 0);
}

// The backup is readable by exactly those who may read the photo: its ACL is the photo's, and a
// photo without one gives a backup without one, whatever the folder's default ACL would give it.
TEST(BackupAccess, TheBackupHasThePhotosAccessAcl) {
  TempDir dir;
  const std::string shared = dir.Put("shared.CRW", Bytes(3000, 1));
  if (!SetAcl(shared, ACL_TYPE_ACCESS, "u::rw-,u:4321:r--,g::---,m::r--,o::---")) {
    GTEST_SKIP() << "this file system keeps no ACLs: " << std::strerror(errno);
  }
  EXPECT_EQ(AccessOf(BackUp(shared)), AccessOf(shared));

  ASSERT_TRUE(SetAcl(dir.Path().string(), ACL_TYPE_DEFAULT, "u::rwx,u:4321:rwx,g::r-x,m::rwx,o::r-x"));
  const std::string privatePhoto = dir.Put("private.CRW", Bytes(3000, 2));
  ASSERT_TRUE(SetAcl(privatePhoto, ACL_TYPE_ACCESS, "u::rw-,g::---,o::---"));
  EXPECT_EQ(AccessOf(BackUp(privatePhoto)), AccessOf(privatePhoto));
}

// Run as root on another user's photo, the backup is that user's, in the photo's group.
TEST(BackupAccess, RunAsRootTheBackupGetsThePhotosOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to give a photo another owner";
  TempDir dir;
  const std::string photo = dir.Put("IMG_0042.CRW", Bytes(3000, 3));
  ASSERT_EQ(::chown(photo.c_str(), 1234, 5678), 0);
  ASSERT_EQ(::chmod(photo.c_str(), 0640), 0);
  EXPECT_EQ(AccessOf(BackUp(photo)), AccessOf(photo));
}

// A user who may not give the backup the photo's group gets a backup only its owner can read,
// rather than one its own group could.
TEST(BackupAccess, AGroupThatCannotBeGivenIsNotOpenedToAnother) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to act as a user outside the photo's group";
  constexpr uid_t kNobody = 65534;
  TempDir dir;
  ASSERT_EQ(::chown(dir.Path().c_str(), kNobody, kNobody), 0);
  const std::string photo = dir.Put("IMG_0042.CRW", Bytes(3000, 4));
  ASSERT_EQ(::chown(photo.c_str(), kNobody, 0), 0);
  ASSERT_EQ(::chmod(photo.c_str(), 0660), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                         ::setresuid(kNobody, kNobody, kNobody) == 0;
    auto stream = FileStream::OpenReadWriteShared(photo);
    ::_exit(dropped && BackupSourceFile(photo, stream) ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(status, 0) << "the backup as user " << kNobody << " failed";
  const Access backup = AccessOf(BackupName(photo, 0));
  EXPECT_EQ(backup.owner, kNobody);
  EXPECT_EQ(backup.group, kNobody) << "the group of the user who made it";
  EXPECT_EQ(backup.bits, 0600u) << "no group or other bits for a group the photo does not have";
}

// A folder made to stand for another is no more open than it, within the umask (027 here): its
// bits and its group, the owner's own bits always, and no group bits where a user who is not in
// that group makes it; one that stands for a folder that cannot be examined is its owner's alone.
// The first is made as the output folder itself, below a missing folder, the rest are entered.
TEST(MadeFolders, AreNoMoreOpenThanTheFoldersTheyStandFor) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to act as a user outside a folder's group";
  constexpr uid_t kNobody = 65534;
  struct Case {
    mode_t mode;
    gid_t group;
    mode_t asRoot;
    mode_t asNobody;
  };
  const Case cases[] = {{0755, kNobody, 0750, 0750}, {0700, kNobody, 0700, 0700}, {0550, kNobody, 0750, 0750},
                        {0711, kNobody, 0710, 0710}, {0750, 0, 0750, 0700},       {0777, 0, 0750, 0700}};
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const auto source = [&](std::size_t k) { return dir.File("source" + std::to_string(k)); };
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    fs::create_directory(source(k));
    ASSERT_EQ(::chown(source(k).c_str(), kNobody, cases[k].group), 0);
    ASSERT_EQ(::chmod(source(k).c_str(), cases[k].mode), 0);
  }
  for (const bool asNobody : {false, true}) {
    const std::string made = dir.File(asNobody ? "by-nobody/out" : "by-root/out");
    const pid_t child = ::fork();
    if (child == 0) {
      ::umask(027);
      const bool dropped = !asNobody || (::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                                         ::setresuid(kNobody, kNobody, kNobody) == 0);
      try {
        HeldFolder::OpenMaking(made, source(0));
        for (std::size_t k = 1; k < std::size(cases); ++k) HeldFolder::Open(made).Enter(std::to_string(k), source(k));
        HeldFolder::Open(made).Enter("gone", dir.File("gone"));
      } catch (const PlatformError&) {
        ::_exit(2);
      }
      ::_exit(dropped ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    for (std::size_t k = 0; k < std::size(cases); ++k) {
      const Access access = AccessOf(k == 0 ? made : made + "/" + std::to_string(k));
      EXPECT_EQ(access.bits, asNobody ? cases[k].asNobody : cases[k].asRoot) << k << (asNobody ? " as nobody" : "");
      EXPECT_EQ(access.group, asNobody ? kNobody : cases[k].group) << k;
      EXPECT_EQ(access.owner, kNobody) << "the owner of the folder it stands for, or its maker";
    }
    EXPECT_EQ(AccessOf(made + "/gone").bits, 0700u);
  }
}

TEST(FatCardThroughFuse, ABackedUpBatchIsRepairedWithWholeBackups) {
  TempDir dir;
  FatCard card(dir.Path());
  if (!card.Mounted()) GTEST_SKIP() << "cannot mount a FAT image through FUSE here (needs fusefat, mkfs.fat, /dev/fuse)";
  const std::string first = card.File("IMG_0001.CRW");
  const std::string second = card.File("IMG_0002.CRW");
  WriteBytes(first, DamagedPhoto());
  WriteBytes(second, DamagedPhoto());
  WriteBytes(card.File("IMG_0002_bak0.crw"), Bytes{'o', 'l', 'd'});

  RecordingSink sink;
  sink.backup = true;
  ProcessFiles({first, second}, sink);

  ASSERT_EQ(sink.rows.size(), 2u);
  EXPECT_EQ(sink.rows[0].result.event, Event::Done);
  EXPECT_EQ(sink.rows[1].result.event, Event::Done);
  EXPECT_EQ(ReadBytes(first), HealthyPhoto());
  EXPECT_EQ(ReadBytes(second), HealthyPhoto());
  EXPECT_EQ(ReadBytes(card.File("IMG_0001_bak0.crw")), DamagedPhoto());
  EXPECT_EQ(ReadBytes(card.File("IMG_0002_bak0.crw")), (Bytes{'o', 'l', 'd'})) << "a taken name is never replaced";
  EXPECT_EQ(ReadBytes(card.File("IMG_0002_bak1.crw")), DamagedPhoto());
  EXPECT_EQ(std::distance(fs::directory_iterator(card.Path()), {}), 5) << "no temporary is left";
}

TEST(PlantedLinks, ALinkAtTheBackupNameIsNeitherFollowedNorReplaced) {
  TempDir dir;
  const std::string source = dir.File("IMG_0042.CRW");
  const std::string victim = dir.File("victim.txt");
  WriteBytes(source, Bytes(5000, 9));
  WriteBytes(victim, Bytes{'k', 'e', 'e', 'p'});
  fs::create_symlink(victim, dir.File("IMG_0042_bak0.crw"));
  fs::create_symlink(dir.File("no-such-target"), dir.File("IMG_0042_bak1.crw"));

  auto stream = FileStream::OpenReadWriteShared(source);
  ASSERT_TRUE(BackupSourceFile(source, stream));
  EXPECT_EQ(ReadBytes(victim), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(fs::is_symlink(dir.File("IMG_0042_bak0.crw")));
  EXPECT_TRUE(fs::is_symlink(dir.File("IMG_0042_bak1.crw")));
  EXPECT_FALSE(fs::exists(dir.File("no-such-target")));
  EXPECT_EQ(ReadBytes(dir.File("IMG_0042_bak2.crw")), Bytes(5000, 9));
}

TEST(FullDisk, ABackupThatDoesNotFitEndsTheRunAndLeavesNothingBehind) {
  TempDir dir;
  SmallMount disk(dir.Path() / "disk", "size=1100k");
  if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
  const std::string source = disk.File("IMG_0001.CRW");
  const std::string next = dir.File("IMG_0002.CRW");
  WriteBytes(source, DamagedPhoto());
  WriteBytes(next, DamagedPhoto());

  RecordingSink sink;
  sink.backup = true;
  ProcessFiles({source, next}, sink);

  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].result.event, Event::BackupFailed);
  EXPECT_EQ(sink.calls.back(), "row 1 " + source + " Backup failed");
  EXPECT_EQ(sink.calls[sink.calls.size() - 2], "step 2 Failed");
  EXPECT_EQ(ReadBytes(source), DamagedPhoto()) << "the photo is not cut without its backup";
  EXPECT_FALSE(fs::exists(disk.File("IMG_0001_bak0.crw"))) << "no half copy";
  EXPECT_EQ(ReadBytes(next), DamagedPhoto()) << "the run ended";
}

TEST(ReadOnlyMount, TheOpenErrorPassesOutAndEarlierRowsStay) {
  TempDir dir;
  SmallMount disk(dir.Path() / "disk", "size=2m");
  if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
  const std::string first = dir.File("IMG_0001.CRW");
  const std::string locked = disk.File("IMG_0002.CRW");
  WriteBytes(first, DamagedPhoto());
  WriteBytes(locked, DamagedPhoto());
  ASSERT_TRUE(disk.MakeReadOnly());

  RecordingSink sink;
  try {
    ProcessFiles({first, locked}, sink);
    FAIL() << "opening a file on a read-only mount must fail";
  } catch (const PlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + locked + "\". Read-only file system");
  }
  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].result.event, Event::Done);
  EXPECT_EQ(ReadBytes(locked), DamagedPhoto());
}

// Repaired into another folder, the originals are only read: a card mounted read-only will do.
TEST(ReadOnlyMount, ARepairIntoAnotherFolderOnlyReadsTheOriginals) {
  TempDir dir;
  SmallMount card(dir.Path() / "card", "size=2m");
  if (!card.Mounted()) GTEST_SKIP() << card.WhyNot();
  const std::string photo = card.File("IMG_0001.CRW");
  WriteBytes(photo, DamagedPhoto());
  ASSERT_TRUE(card.MakeReadOnly());

  RecordingSink sink;
  EXPECT_EQ(ProcessFiles({photo}, sink, {OnFileError::EndRun, false, dir.File("fixed")}), RunEnd::Finished);
  EXPECT_EQ(sink.Events(), std::vector<Event>{Event::Done});
  EXPECT_EQ(ReadBytes(dir.File("fixed/IMG_0001.CRW")), HealthyPhoto());
  EXPECT_EQ(ReadBytes(photo), DamagedPhoto());
}

// Swaps the run's descriptor for a read-only one of the same file just before the cut, the one way
// to make the system refuse a cut on a file it let us open for writing.
class SinkRefusingTheCut final : public ProgressSink {
public:
  RecordingSink inner;
  std::string path;

  void SetCaption(const std::string& text) override { inner.SetCaption(text); }
  void SetStepText(Step step, StepState state) override {
    inner.SetStepText(step, state);
    if (step == Step::Cut && state == StepState::Processing) ReopenReadOnly();
  }
  void AddEventRow(const std::string& file, const FileResult& result) override { inner.AddEventRow(file, result); }
  bool BackupRequested() override { return false; }
  bool StopRequested() override { return false; }

private:
  void ReopenReadOnly() {
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      if (fs::read_symlink(entry.path(), error) != fs::path(path)) continue;
      const int readOnly = ::open(path.c_str(), O_RDONLY);
      ::dup2(readOnly, std::stoi(entry.path().filename().string()));
      ::close(readOnly);
      return;
    }
  }
};

TEST(RefusedCut, TheSystemErrorPassesOutWithItsCode) {
  TempDir dir;
  const std::string first = dir.File("IMG_0001.CRW");
  const std::string refused = dir.File("IMG_0002.CRW");
  WriteBytes(first, DamagedPhoto());
  WriteBytes(refused, DamagedPhoto());
  SinkRefusingTheCut sink;
  sink.path = refused;
  try {
    ProcessFiles({first, refused}, sink);
    FAIL() << "the refused cut must pass out";
  } catch (const PlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "System Error.  Code: 22.\nInvalid argument");
  }
  ASSERT_EQ(sink.inner.rows.size(), 1u);
  EXPECT_EQ(sink.inner.rows[0].file, first);
  EXPECT_EQ(ReadBytes(refused), DamagedPhoto());
}

}  // namespace
}  // namespace tailmend::test
