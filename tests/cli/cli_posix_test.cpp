// tailmend-cli on what only a POSIX system has: any byte but a slash in a name, symbolic links,
// pipes, permissions, a full disk for the report, and a terminal's Ctrl-C.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_runner_posix.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

class CliPosix : public PhotoFolderTest {};

// A name may hold anything but a slash: the report and stderr escape what would break their lines
// or fields, or send a terminal its control sequences.
TEST_F(CliPosix, ControlCharactersInANameAreEscapedEverywhere) {
  const std::string odd = dir.Put("a\tb\nc\rd\\e\x1b\x7f.CRW", damaged);
  const std::string plain = dir.Put("caf\xC3\xA9 1.CRW", damaged);
  const std::string missing = dir.File("gone\n2\tforged\tDone\x1b[2J.CRW");
  const CliRun run = RunCli({odd, plain, missing});
  EXPECT_EQ(run.status, 1);
  const std::string folder = dir.Path().string() + "/";
  EXPECT_EQ(run.out, "1\t" + folder + "a\\tb\\nc\\rd\\\\e\\x1B\\x7F.CRW\tDone\n2\t" + plain + "\tDone\n");
  EXPECT_EQ(run.err,
            "tailmend-cli: " + folder + "gone\\n2\\tforged\\tDone\\x1B[2J.CRW: cannot open: No such file or directory\n");
  EXPECT_EQ(ReadBytes(odd), healthy);
}

// Links in a folder are reported and never opened, whatever they point to: a photo elsewhere that
// only its owner may read, a backup of our own, a folder. A link named on the command line is the
// user's own choice and is followed.
TEST_F(CliPosix, LinksInAFolderAreNeverFollowedButNamedOnesAre) {
  const std::string shared = dir.File("shared");
  const std::string privatePhoto = dir.File("private/IMG.CRW");
  fs::create_directories(dir.Path() / "private");
  fs::create_directories(shared);
  WriteBytes(privatePhoto, damaged);
  const std::string photo = dir.Put("shared/a.CRW", damaged);
  const std::string ownBackup = dir.Put("shared/a_bak0.crw", damaged);
  fs::create_symlink(privatePhoto, shared + "/planted.crw");
  fs::create_symlink(ownBackup, shared + "/z.crw");
  fs::create_directory_symlink("..", shared + "/up");
  fs::create_symlink("dangling", shared + "/dangling.txt");

  const CliRun run = RunCli({"--backup", shared});
  EXPECT_EQ(run.status, 1) << "photos named like photos were left out";
  EXPECT_EQ(run.out, "1\t" + photo + "\tDone\n");
  EXPECT_EQ(run.err, "tailmend-cli: " + ownBackup + ": skipped: a backup copy\n"
                     "tailmend-cli: " + shared + "/planted.crw: skipped: a symbolic link\n"
                     "tailmend-cli: " + shared + "/up: skipped: a symbolic link to a folder\n"
                     "tailmend-cli: " + shared + "/z.crw: skipped: a symbolic link\n");
  EXPECT_EQ(ReadBytes(privatePhoto), damaged);
  EXPECT_EQ(ReadBytes(ownBackup), damaged);
  EXPECT_FALSE(fs::exists(shared + "/planted_bak0.crw"));
  EXPECT_FALSE(fs::exists(dir.File("private/IMG_bak0.crw")));

  const CliRun named = RunCli({shared + "/planted.crw"});
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(ReadBytes(privatePhoto), healthy);
}

// Links another user planted below a shared output folder, in place of a folder and of a copy's
// name, are never written through: those files are not written and nothing lands outside it; nor
// is a file in place of a folder. The output folder named by the user may be a link; the folders
// made for the card's, itself included, are no more open than the ones they stand for.
TEST_F(CliPosix, OutWritesThroughNoLinkBelowTheFolderNamed) {
  const std::string card = dir.File("card");
  const std::string shared = dir.File("fixed");
  const std::string theirs = dir.File("theirs");
  for (const char* folder : {"/recup_dir.1", "/recup_dir.2", "/recup_dir.3", "/recup_dir.4"}) {
    fs::create_directories(card + folder);
  }
  for (const char* photo :
       {"/a.crw", "/recup_dir.1/f1.crw", "/recup_dir.2/f2.crw", "/recup_dir.3/f3.crw", "/recup_dir.4/f4.crw"}) {
    WriteBytes(card + photo, damaged);
  }
  fs::permissions(card, fs::perms::owner_all);
  fs::permissions(card + "/recup_dir.3", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  fs::create_directories(shared + "/recup_dir.2");
  fs::create_directories(theirs);
  fs::permissions(shared, fs::perms::all);
  fs::permissions(theirs, fs::perms::all);
  fs::create_directory_symlink(theirs, shared + "/recup_dir.1");
  fs::create_symlink(theirs + "/f2.crw", shared + "/recup_dir.2/f2.crw");
  WriteBytes(shared + "/recup_dir.4", Bytes{'m', 'i', 'n', 'e'});
  const std::string named = dir.File("out");
  fs::create_directory_symlink(shared, named);

  const mode_t mask = ::umask(022);
  const CliRun run = RunCli({"--out", named, card});
  RunCli({"--out", dir.File("new"), card});
  ::umask(mask);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "1\t" + card + "/a.crw\tDone\n2\t" + card + "/recup_dir.3/f3.crw\tDone\n");
  EXPECT_EQ(run.err, "tailmend-cli: " + card + "/recup_dir.1/f1.crw: not written: " + named +
                         "/recup_dir.1 is a symbolic link\ntailmend-cli: " + card +
                         "/recup_dir.2/f2.crw: not written: " + named +
                         "/recup_dir.2/f2.crw is a symbolic link\ntailmend-cli: " + card +
                         "/recup_dir.4/f4.crw: not written: " + named + "/recup_dir.4 is not a folder\n");
  EXPECT_TRUE(fs::is_empty(theirs));
  EXPECT_EQ(ReadBytes(shared + "/recup_dir.3/f3.crw"), healthy);
  EXPECT_EQ(fs::status(shared + "/recup_dir.3").permissions(), fs::status(card + "/recup_dir.3").permissions());
  EXPECT_EQ(fs::status(dir.File("new")).permissions(), fs::perms::owner_all);
}

// A pipe, named or met in a folder, is refused at once: nothing waits for a writer.
TEST_F(CliPosix, APipeIsRefusedAtOnce) {
  const std::string pipe = dir.File("x.crw");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const CliRun named = RunCliWith({"--check", pipe}, "timeout 60", dir.File("out.txt"));
  EXPECT_EQ(named.status, 1) << "124 would mean it waited";
  EXPECT_EQ(named.err, "tailmend-cli: " + pipe + ": cannot open: It is not a regular file\n");
  const CliRun walked = RunCliWith({dir.Path().string()}, "timeout 60", dir.File("out.txt"));
  EXPECT_EQ(walked.status, 1);
  EXPECT_EQ(walked.err, "tailmend-cli: " + pipe + ": skipped: not a regular file\n");
}

// What a walk cannot read is said, with the system's reason, and makes the exit status 1; only a
// folder read whole is said to hold no photos. Run as a user who may list a folder but not look
// at its entries, and who may not enter another.
TEST_F(CliPosix, WhatAWalkCannotReadIsSaid) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to run the program as another user";
  const std::string card = dir.File("card");
  fs::create_directories(card + "/closed");
  fs::create_directories(card + "/listed");
  WriteBytes(card + "/listed/IMG.CRW", damaged);
  fs::permissions(card + "/closed", fs::perms::owner_all);
  fs::permissions(card + "/listed", fs::perms::owner_all | fs::perms::others_read);
  const CliRun run = RunCliWith({card}, "setpriv --reuid=65534 --regid=65534 --clear-groups", dir.File("out.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tailmend-cli: " + card + "/closed: cannot read folder: Permission denied\n"
                     "tailmend-cli: " + card + "/listed/IMG.CRW: cannot examine: Permission denied\n");
}

// A report that cannot be written is said on stderr, ends the run before the next file is
// changed, and makes the exit status 1.
TEST_F(CliPosix, AReportThatCannotBeWrittenStopsTheRun) {
  for (const bool json : {false, true}) {
    SCOPED_TRACE(json ? "--json" : "tab-separated");
    TempDir own;
    const std::string first = own.Put("a.CRW", damaged);
    const std::string second = own.Put("b.CRW", damaged);
    const CliRun run = RunCliWith({first, second, json ? "--json" : "--backup"}, "", "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tailmend-cli: cannot write the report: No space left on device\n");
    EXPECT_EQ(run.summary, "tailmend-cli: 2 files: 1 repaired; stopped after 1 of 2");
    EXPECT_EQ(ReadBytes(first), healthy) << "the file whose line was lost was repaired";
    EXPECT_EQ(ReadBytes(second), damaged);
  }
}

// True once the process sits in a write(2) it cannot finish: Linux shows the system call it is
// blocked in as the first number of /proc/PID/syscall.
bool BlockedInWrite(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  in >> number;
  return number == SYS_write;
}

// Starts the program with stdout on a pipe that is full but for a few bytes, so that it blocks
// writing the line of its first file, after that file is done. Ctrl-C arrives right then; the
// pipe is drained afterwards. Returns the exit status and what the program printed.
CliRun InterruptWhileReportingFirstFile(const std::vector<std::string>& files) {
  constexpr int kPipeSize = 4096;
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0 || ::fcntl(pipeEnds[1], F_SETPIPE_SZ, kPipeSize) != kPipeSize) return {};
  const std::string filler(kPipeSize - 8, '#');
  if (::write(pipeEnds[1], filler.data(), filler.size()) != static_cast<ssize_t>(filler.size())) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[0]);
    std::vector<char*> argv{const_cast<char*>(TAILMEND_CLI)};
    for (const auto& file : files) argv.push_back(const_cast<char*>(file.c_str()));
    argv.push_back(nullptr);
    ::execv(TAILMEND_CLI, argv.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  for (int wait = 0; wait < 10000 && !BlockedInWrite(child); ++wait) ::usleep(1000);
  ::kill(child, SIGINT);
  CliRun run;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) run.out.append(buffer, got);
  ::close(pipeEnds[0]);
  run.out.erase(0, filler.size());
  int raw = 0;
  ::waitpid(child, &raw, 0);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

TEST_F(CliPosix, CtrlCStopsBetweenFilesNeverInOne) {
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) files.push_back(dir.Put("IMG_" + std::to_string(i) + ".CRW", damaged));
  const CliRun run = InterruptWhileReportingFirstFile(files);
  EXPECT_EQ(run.status, 1) << "files were left out";
  EXPECT_EQ(run.out, "1\t" + files[0] + "\tDone\n");
  EXPECT_EQ(ReadBytes(files[0]), healthy);
  for (std::size_t i = 1; i < files.size(); ++i) EXPECT_EQ(ReadBytes(files[i]), damaged) << files[i];
}

}  // namespace
}  // namespace tailmend::test
