// tailmend-cli run for real, as a script would run it, on files in a temporary folder.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Cli : public ::testing::Test {
protected:
  TempDir dir;
  const Bytes damaged = CiffBuilder().HeapEnd(700000).Junk(4096).Build();
  const Bytes healthy = CiffBuilder().HeapEnd(700000).Build();

  CliRun Run(const std::vector<std::string>& arguments) {
    std::string command = Quoted(TAILMEND_CLI);
    for (const auto& argument : arguments) command += " " + Quoted(argument);
    const fs::path out = dir.Path() / "stdout.txt";
    const fs::path err = dir.Path() / "stderr.txt";
    command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
  }
};

TEST_F(Cli, RepairsEachFileAndPrintsOneLinePerFile) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string b = dir.Put("b.CRW", healthy);
  const CliRun run = Run({a, b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\t" + a + "\tDone\n2\t" + b + "\tNo file tail\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(a), healthy);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

TEST_F(Cli, BackupWritesTheNumberedCopyFirst) {
  const std::string a = dir.Put("a.CRW", damaged);
  const CliRun run = Run({"--backup", a});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadBytes(dir.File("a_bak0.crw")), damaged);
  EXPECT_EQ(ReadBytes(a), healthy);
}

TEST_F(Cli, CheckReportsTheLengthAndChangesNothing) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string b = dir.Put("b.CRW", healthy);
  const auto before = fs::last_write_time(a);
  const CliRun run = Run({"--check", "--backup", a, b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\t" + a + "\tTail at 700000\n2\t" + b + "\tNo file tail\n");
  EXPECT_EQ(ReadBytes(a), damaged);
  EXPECT_EQ(fs::last_write_time(a), before);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

TEST_F(Cli, AnErrorOnOneFileIsReportedAndTheRunGoesOn) {
  const std::string missing = dir.File("missing.CRW");
  const std::string invalid = dir.Put("small.CRW", Bytes(1000, 'I'));
  const std::string a = dir.Put("a.CRW", damaged);
  const CliRun run = Run({missing, invalid, a});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "1\t" + invalid + "\tInvalid crw file\n2\t" + a + "\tDone\n");
  EXPECT_EQ(run.err, "tailmend-cli: " + missing + ": cannot open: No such file or directory\n");
}

// A name may hold anything but a slash: the report escapes what would break its lines or fields.
TEST_F(Cli, ControlCharactersInANameAreEscapedSoEachFileIsOneLine) {
  const std::string odd = dir.Put("a\tb\nc\rd\\e\x1b\x7f.CRW", damaged);
  const std::string plain = dir.Put("caf\xC3\xA9 1.CRW", damaged);
  const CliRun run = Run({odd, plain});
  EXPECT_EQ(run.status, 0);
  const std::string folder = dir.Path().string() + "/";
  EXPECT_EQ(run.out, "1\t" + folder + "a\\tb\\nc\\rd\\\\e\\x1B\\x7F.CRW\tDone\n2\t" + plain + "\tDone\n");
  EXPECT_EQ(ReadBytes(odd), healthy);
}

TEST_F(Cli, AnInvalidFileMeansExitStatusOne) {
  const CliRun run = Run({dir.Put("x.CRW", CiffBuilder().Mark("ii").Build())});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\tInvalid crw file\n"), std::string::npos);
}

TEST_F(Cli, UsageErrorsExitWithTwoAndTouchNothing) {
  const std::string a = dir.Put("a.CRW", damaged);
  for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"--backup"}, {"--fix", a}}) {
    const CliRun run = Run(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Usage: tailmend-cli"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadBytes(a), damaged);
}

TEST_F(Cli, EverythingAfterTheDoubleDashIsAFile) {
  const std::string odd = dir.Put("--check", damaged);
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  const CliRun run = Run({"--", "--check"});
  fs::current_path(before);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\t--check\tDone\n");
  EXPECT_EQ(ReadBytes(odd), healthy);
}

// A card's folders: photos in mixed case at several depths, beside files that are not photos, a
// backup copy from an earlier run and a link back up that would make a walk go round forever.
class CliFolder : public Cli {
protected:
  const std::string card = dir.File("card");
  const std::string a = card + "/a.crw";
  const std::string b = card + "/B.CRW";
  const std::string c = card + "/sub/c.Crw";
  const std::string d = card + "/sub/deeper/d.CRW";
  const std::string notes = card + "/notes.txt";
  const std::string backup = card + "/a_bak0.crw";

  void SetUp() override {
    fs::create_directories(card + "/sub/deeper");
    for (const auto& photo : {a, c, d, notes, backup}) WriteBytes(photo, damaged);
    WriteBytes(b, healthy);
    fs::create_directory_symlink("..", card + "/sub/loop");
  }
};

TEST_F(CliFolder, RepairsEveryCrwFileBelowItInSortedOrder) {
  const CliRun run = Run({card});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "1\t" + b + "\tNo file tail\n2\t" + a + "\tDone\n3\t" + c + "\tDone\n4\t" + d + "\tDone\n");
  EXPECT_EQ(run.err, "tailmend-cli: " + backup + ": skipped: a backup copy\n"
                     "tailmend-cli: " + card + "/sub/loop: skipped: a symbolic link to a folder\n");
  for (const auto& photo : {a, b, c, d}) EXPECT_EQ(ReadBytes(photo), healthy) << photo;
  EXPECT_EQ(ReadBytes(notes), damaged);
  EXPECT_EQ(ReadBytes(backup), damaged);
}

TEST_F(CliFolder, BackupsMadeDuringTheRunAreNotTakenForPhotos) {
  const CliRun run = Run({"--backup", card, card + "/"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 8);
  EXPECT_EQ(ReadBytes(card + "/a_bak1.crw"), damaged);
  EXPECT_EQ(ReadBytes(card + "/sub/deeper/d_bak0.crw"), damaged);
  EXPECT_FALSE(fs::exists(card + "/a_bak2.crw"));
  EXPECT_FALSE(fs::exists(card + "/sub/deeper/d_bak1.crw"));
}

TEST_F(CliFolder, CheckReportsAndChangesNothing) {
  const CliRun run = Run({"--check", "--backup", card});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\t" + b + "\tNo file tail\n2\t" + a + "\tTail at 700000\n3\t" + c +
                         "\tTail at 700000\n4\t" + d + "\tTail at 700000\n");
  for (const auto& photo : {a, c, d}) EXPECT_EQ(ReadBytes(photo), damaged) << photo;
  EXPECT_FALSE(fs::exists(card + "/a_bak1.crw"));
}

TEST_F(CliFolder, EntriesThatAreNotRegularFilesAreSkippedAndSaidSo) {
  ASSERT_EQ(::mkfifo((card + "/pipe.crw").c_str(), 0600), 0);
  fs::create_directory_symlink("sub", card + "/linked.CRW");
  const CliRun run = Run({card});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tailmend-cli: " + backup + ": skipped: a backup copy\n"
                     "tailmend-cli: " + card + "/linked.CRW: skipped: a symbolic link to a folder\n"
                     "tailmend-cli: " + card + "/pipe.crw: skipped: not a regular file\n"
                     "tailmend-cli: " + card + "/sub/loop: skipped: a symbolic link to a folder\n");
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4);
  EXPECT_EQ(ReadBytes(d), healthy);
}

TEST_F(Cli, AFolderWithoutPhotosIsSaidSo) {
  fs::create_directory(dir.File("empty"));
  const CliRun run = Run({dir.File("empty")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tailmend-cli: " + dir.File("empty") + ": no .crw files\n");
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

TEST_F(Cli, CtrlCStopsBetweenFilesNeverInOne) {
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) files.push_back(dir.Put("IMG_" + std::to_string(i) + ".CRW", damaged));
  const CliRun run = InterruptWhileReportingFirstFile(files);
  EXPECT_EQ(run.status, 1) << "files were left out";
  EXPECT_EQ(run.out, "1\t" + files[0] + "\tDone\n");
  EXPECT_EQ(ReadBytes(files[0]), healthy);
  for (std::size_t i = 1; i < files.size(); ++i) EXPECT_EQ(ReadBytes(files[i]), damaged) << files[i];
}

TEST_F(Cli, HelpAndVersion) {
  const CliRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: tailmend-cli [OPTION]... [--] FILE|FOLDER...\n", 0), 0u);
  const CliRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tailmend-cli 1.0.1.7\n");
}

}  // namespace
}  // namespace tailmend::test
