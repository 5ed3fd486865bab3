// tailmend-cli run for real, as a script would run it, on files in a temporary folder; the same
// cases on every system.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/path_names.h"
#include "platform/system_error_text.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/system_codes.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

class Cli : public PhotoFolderTest {};

TEST_F(Cli, RepairsEachFileAndPrintsOneLinePerFile) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string b = dir.Put("b.CRW", healthy);
  const CliRun run = RunCli({a, b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Lines({"1\t" + a + "\tDone", "2\t" + b + "\tNo file tail"}));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.summary, "tailmend-cli: 2 files: 1 repaired, 1 healthy");
  EXPECT_EQ(ReadBytes(a), healthy);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

TEST_F(Cli, CheckReportsTheLengthAndChangesNothing) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string b = dir.Put("b.CRW", healthy);
  const auto before = fs::last_write_time(a);
  const CliRun run = RunCli({"--check", "--backup", a, b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Lines({"1\t" + a + "\tTail at 700000", "2\t" + b + "\tNo file tail"}));
  EXPECT_EQ(ReadBytes(a), damaged);
  EXPECT_EQ(fs::last_write_time(a), before);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

// Options may stand before, between and after the names: each does the same wherever it is.
TEST_F(Cli, EveryOptionWorksInEveryPosition) {
  for (const std::string option : {"--backup", "--check"}) {
    for (const std::size_t position : {0u, 1u, 2u}) {
      SCOPED_TRACE(option + " at " + std::to_string(position));
      TempDir own;
      std::vector<std::string> arguments = {own.Put("a.CRW", damaged), own.Put("b.CRW", damaged)};
      arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(position), option);
      const CliRun run = RunCli(arguments);
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\t'), 4) << "two rows, no file named " << option;
      const bool check = option == "--check";
      EXPECT_EQ(ReadBytes(own.File("a.CRW")), check ? damaged : healthy);
      EXPECT_EQ(ReadBytes(own.File("b.CRW")), check ? damaged : healthy);
      EXPECT_EQ(fs::exists(own.File("b_bak0.crw")), !check);
    }
  }
}

// A word that begins with a dash is an option, or a mistake that stops everything before it
// starts; after "--" it is a name like any other.
TEST_F(Cli, ANameBeginningWithADashNeedsTheDoubleDash) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string dashed = dir.Put("-x.CRW", damaged);
  const CurrentDirectory inside(dir.Path());
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {}, {"--backup"}, {"--fix", a}, {a, "-x.CRW"}, {a, "--out"}, {"--out=", a}, {"--out", "fixed", "--backup", a}}) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Usage: tailmend-cli"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadBytes(a), damaged);
  EXPECT_EQ(ReadBytes(dashed), damaged);

  const CliRun run = RunCli({"--", "-x.CRW", "--check"});
  EXPECT_EQ(run.status, 1) << "no file is named --check";
  EXPECT_EQ(run.out, Lines({"1\t-x.CRW\tDone"}));
  EXPECT_EQ(ReadBytes(dashed), healthy);
}

// An error on one file is said on stderr with the file's name and the system's reason; the run
// goes on with the next file and the exit status says not all went well.
TEST_F(Cli, AnErrorOnOneFileIsReportedAndTheRunGoesOn) {
  const std::string missing = dir.File("missing.CRW");
  const std::string invalid = dir.Put("small.CRW", Bytes(1000, 'I'));
  const std::string a = dir.Put("a.CRW", damaged);
  const CliRun run = RunCli({missing, invalid, a});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Lines({"1\t" + invalid + "\tInvalid crw file", "2\t" + a + "\tDone"}));
  EXPECT_EQ(run.err, Lines({"tailmend-cli: " + missing + ": cannot open: " + SystemMessage(kNoSuchFileCode)}));
}

// A backup that fails ends the run with its row, and stderr says why.
TEST_F(Cli, AFailedBackupSaysWhyAndEndsTheRun) {
  const std::string tooLong = dir.Put(std::string(247, 'n') + ".CRW", damaged);
  const std::string next = dir.Put("next.CRW", damaged);
  const CliRun run = RunCli({"--backup", tooLong, next});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Lines({"1\t" + tooLong + "\tBackup failed"}));
  const std::string lead = "tailmend-cli: " + tooLong + ": backup failed: ";
  EXPECT_EQ(run.err.substr(0, lead.size()), lead);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(ReadBytes(tooLong), damaged);
  EXPECT_EQ(ReadBytes(next), damaged);
}

TEST_F(Cli, AnInvalidFileMeansExitStatusOne) {
  const CliRun run = RunCli({dir.Put("x.CRW", CiffBuilder().Mark("ii").Build())});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\tInvalid crw file"), std::string::npos);
}

// A card's folders: photos in mixed case at several depths, one named outside every ANSI code
// page, beside files that are not photos and a backup copy from an earlier run. Names sort by their
// UTF-8 bytes.
class CliFolder : public Cli {
protected:
  const std::string card = dir.File("card");
  const std::string sub = PathInFolder(card, "sub");
  const std::string a = PathInFolder(card, "a.crw");
  const std::string b = PathInFolder(card, "B.CRW");
  const std::string c = PathInFolder(sub, "Снимок.Crw");
  const std::string d = PathInFolder(PathInFolder(sub, "deeper"), "d.CRW");
  const std::string notes = PathInFolder(card, "notes.txt");
  const std::string backup = PathInFolder(card, "a_bak0.crw");

  void SetUp() override {
    fs::create_directories(fs::u8path(PathInFolder(sub, "deeper")));
    for (const auto& photo : {a, c, d, notes, backup}) WriteBytes(photo, damaged);
    WriteBytes(b, healthy);
  }
};

TEST_F(CliFolder, RepairsEveryCrwFileBelowItInSortedOrder) {
  const CliRun run = RunCli({card});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Lines({"1\t" + b + "\tNo file tail", "2\t" + a + "\tDone", "3\t" + d + "\tDone",
                            "4\t" + c + "\tDone"}));
  EXPECT_EQ(run.err, Lines({"tailmend-cli: " + backup + ": skipped: a backup copy"}));
  for (const auto& photo : {a, b, c, d}) EXPECT_EQ(ReadBytes(photo), healthy) << photo;
  EXPECT_EQ(ReadBytes(notes), damaged);
  EXPECT_EQ(ReadBytes(backup), damaged);
}

TEST_F(CliFolder, BackupsMadeDuringTheRunAreNotTakenForPhotos) {
  const CliRun run = RunCli({"--backup", card, card});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 8);
  EXPECT_EQ(ReadBytes(PathInFolder(card, "a_bak1.crw")), damaged);
  EXPECT_EQ(ReadBytes(PathInFolder(PathInFolder(sub, "deeper"), "d_bak0.crw")), damaged);
  EXPECT_FALSE(fs::exists(fs::u8path(PathInFolder(card, "a_bak2.crw"))));
  EXPECT_FALSE(fs::exists(fs::u8path(PathInFolder(PathInFolder(sub, "deeper"), "d_bak1.crw"))));
}

TEST_F(CliFolder, CheckReportsAndChangesNothing) {
  const CliRun run = RunCli({card, "--check"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Lines({"1\t" + b + "\tNo file tail", "2\t" + a + "\tTail at 700000",
                            "3\t" + d + "\tTail at 700000", "4\t" + c + "\tTail at 700000"}));
  for (const auto& photo : {a, c, d}) EXPECT_EQ(ReadBytes(photo), damaged) << photo;
}

TEST_F(Cli, AFolderWithoutPhotosIsSaidSo) {
  fs::create_directory(dir.Path() / "empty");
  const CliRun run = RunCli({dir.File("empty")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, Lines({"tailmend-cli: " + dir.File("empty") + ": no .crw files"}));
}

TEST_F(Cli, HelpAndVersion) {
  const CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: tailmend-cli [OPTION]... [--] FILE|FOLDER...", 0), 0u);
  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, Lines({"tailmend-cli 1.0.1.7"}));
}

// A recovered card's photos often lie deep below a long user folder. Far beyond the 260 characters
// at which Windows refuses a path unless told otherwise, the walk lists the photo, the backup is
// written beside it, the photo is cut and a repaired copy is written into folders made as needed.
TEST_F(Cli, APhotoInAFolderPathOver300CharactersIsRepairedLikeAnyOther) {
  std::string deep = dir.File("recup_dir.1");
  while (deep.size() <= 300) deep = PathInFolder(deep, std::string(60, 'f'));
  fs::create_directories(fs::u8path(deep));
  const std::string photo = PathInFolder(deep, "f0012345.crw");
  WriteBytes(photo, damaged);
  const std::string fixed = PathInFolder(deep, "fixed");

  const CliRun copied = RunCli({"--out", fixed, photo});
  EXPECT_EQ(copied.out, Lines({"1\t" + photo + "\tDone"})) << copied.err;
  EXPECT_EQ(ReadBytes(PathInFolder(fixed, "f0012345.crw")), healthy);

  const CliRun run = RunCli({"--backup", dir.File("recup_dir.1")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Lines({"1\t" + photo + "\tDone", "2\t" + PathInFolder(fixed, "f0012345.crw") + "\tNo file tail"}));
  EXPECT_EQ(ReadBytes(photo), healthy);
  EXPECT_EQ(ReadBytes(PathInFolder(deep, "f0012345_bak0.crw")), damaged);
}

// Repairing into another folder leaves every original as it is: a file named goes to DIR/NAME, one
// found below a folder to its path below that folder; a name already taken there stays as it is.
TEST_F(CliFolder, OutWritesRepairedCopiesAndLeavesTheOriginals) {
  const std::string fixed = dir.File("fixed");
  const std::string named = dir.Put("named.CRW", damaged);
  fs::create_directories(fs::u8path(PathInFolder(fixed, "sub")));
  const std::string taken = PathInFolder(PathInFolder(fixed, "sub"), "Снимок.Crw");
  WriteBytes(taken, Bytes{'m', 'i', 'n', 'e'});
  const CliRun run = RunCli({"--out", fixed, card, named});
  EXPECT_EQ(run.status, 1) << "one copy was not written";
  EXPECT_EQ(run.out, Lines({"1\t" + b + "\tNo file tail", "2\t" + a + "\tDone", "3\t" + d + "\tDone",
                            "4\t" + named + "\tDone"}));
  EXPECT_EQ(run.err, Lines({"tailmend-cli: " + backup + ": skipped: a backup copy",
                            "tailmend-cli: " + c + ": not written: " + taken + " is already there"}));
  for (const auto& original : {a, c, d, named}) EXPECT_EQ(ReadBytes(original), damaged) << original;
  EXPECT_EQ(ReadBytes(PathInFolder(fixed, "a.crw")), healthy);
  EXPECT_EQ(ReadBytes(PathInFolder(PathInFolder(PathInFolder(fixed, "sub"), "deeper"), "d.CRW")), healthy);
  EXPECT_EQ(ReadBytes(PathInFolder(fixed, "named.CRW")), healthy);
  EXPECT_EQ(ReadBytes(taken), (Bytes{'m', 'i', 'n', 'e'}));
  EXPECT_FALSE(fs::exists(fs::u8path(PathInFolder(fixed, "B.CRW")))) << "a file with no tail is not copied";
}

}  // namespace
}  // namespace tailmend::test
