// Files and folders handed to a window program by the desktop, as both window programs take them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/path_names.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "ui/behaviour/desktop_files.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> PathsOf(const FileList& files) {
  std::vector<std::string> paths;
  for (const SelectedFile& file : files) paths.push_back(file.path);
  return paths;
}

class DesktopFilesTest : public ::testing::Test {
protected:
  DesktopFilesTest() {
    for (const char* folder : {"card", "card/recup_dir.1", "card/recup_dir.2", "card/recup_dir.2/sub", "empty"}) {
      fs::create_directory(fs::u8path(In(folder)));
    }
    for (const char* photo : {"card/recup_dir.1/f0002.crw", "card/recup_dir.1/f0001.CRW",
                              "card/recup_dir.1/f0001_bak0.crw", "card/recup_dir.2/sub/\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.crw",
                              "\xE5\x86\x99\xE7\x9C\x9F.CRW"}) {
      WriteBytes(In(photo), DamagedPhoto());
    }
    WriteBytes(In("card/recup_dir.1/f0003.jpg"), {0xFF, 0xD8});
    WriteBytes(In("photo.jpg"), {0xFF, 0xD8});
  }

  // The UTF-8 path of a name below the test's folder, with the system's separators.
  std::string In(const std::string& relative) const {
    const std::size_t slash = relative.find('/');
    if (slash == std::string::npos) return dir.File(relative);
    std::string path = dir.File(relative.substr(0, slash));
    for (std::size_t start = slash + 1; start <= relative.size();) {
      const std::size_t end = std::min(relative.find('/', start), relative.size());
      path = PathInFolder(path, relative.substr(start, end - start));
      start = end + 1;
    }
    return path;
  }

  TempDir dir;
};

TEST_F(DesktopFilesTest, FoldersGiveTheirPhotosNamedFilesStayAndOtherKindsAreLeftOut) {
  const std::string japanese = In("\xE5\x86\x99\xE7\x9C\x9F.CRW");
  const std::string russian = In("card/recup_dir.2/sub/\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.crw");
  struct Case {
    const char* what;
    std::vector<std::string> given;
    std::vector<std::string> files;
    std::string problems;
  };
  const Case cases[] = {
      {"a named photo, whatever its script", {japanese}, {japanese}, ""},
      {"a folder tree: sorted folder by folder, backups and other kinds left out quietly",
       {In("card")},
       {In("card/recup_dir.1/f0001.CRW"), In("card/recup_dir.1/f0002.crw"), russian},
       ""},
      {"files and folders in the order given, a named file of another kind left out",
       {In("photo.jpg"), japanese, In("card/recup_dir.2")},
       {japanese, russian},
       ""},
      {"a named photo that is missing stays, for the run to report", {In("gone.crw")}, {In("gone.crw")}, ""},
      {"a photo named twice, or named and found in a folder, is selected once",
       {japanese, In("card/recup_dir.2"), japanese, russian},
       {japanese, russian},
       ""},
      {"a folder without photos is said", {In("empty"), japanese}, {japanese}, '"' + In("empty") + "\": no .crw files"},
      {"nothing but other kinds is said", {In("photo.jpg")}, {}, "None of the files given is a .crw file"},
      {"nothing given, nothing said", {}, {}, ""},
  };
  for (const Case& test : cases) {
    const DesktopFiles taken = FilesFromDesktop(test.given);
    EXPECT_EQ(PathsOf(taken.files), test.files) << test.what;
    EXPECT_EQ(taken.problems, test.problems) << test.what;
  }
}

TEST_F(DesktopFilesTest, FilesHandedOverOneAtATimeGiveWhatOneCommandLineNamingThemAllGives) {
  const std::vector<std::string> given = {In("photo.jpg"), In("\xE5\x86\x99\xE7\x9C\x9F.CRW"), In("card/recup_dir.2"),
                                          In("photo.jpg"), In("gone.crw"), In("\xE5\x86\x99\xE7\x9C\x9F.CRW")};
  FileList selection;
  std::vector<std::string> problems;
  for (const std::string& path : given) {
    DesktopFiles taken = MoreFilesFromDesktop(selection, {path});
    if (!taken.files.empty()) selection = std::move(taken.files);
    problems.push_back(taken.problems);
  }
  EXPECT_EQ(PathsOf(selection), PathsOf(FilesFromDesktop(given).files));
  // Another kind of file is said only while no part so far held a photo.
  EXPECT_EQ(problems, (std::vector<std::string>{"None of the files given is a .crw file", "", "", "", "", ""}));
}

TEST_F(DesktopFilesTest, AFolderWalkedGivesEachPhotoTheIdentityItWasListedWith) {
  const DesktopFiles taken = FilesFromDesktop({In("card/recup_dir.2"), In("photo.jpg")});
  ASSERT_EQ(taken.files.size(), 1u);
  EXPECT_TRUE(taken.files[0].listedAs.has_value()) << "a photo swapped for a link after the walk is not repaired";
  EXPECT_EQ(taken.files[0].relativeName, PathInFolder("sub", "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.crw"));
}

TEST_F(DesktopFilesTest, ABoxOfProblemsShowsTheFirstTenAndCountsTheRest) {
  std::vector<std::string> folders;
  for (int k = 0; k < 12; ++k) {
    folders.push_back(In("empty" + std::to_string(k)));
    fs::create_directory(fs::u8path(folders.back()));
  }
  const std::string problems = FilesFromDesktop(folders).problems;
  EXPECT_EQ(std::count(problems.begin(), problems.end(), '\n'), 10);
  EXPECT_NE(problems.find('"' + folders[9] + "\": no .crw files\n... and 2 more"), std::string::npos) << problems;
  EXPECT_EQ(problems.find(folders[10]), std::string::npos);
}

}  // namespace
}  // namespace tailmend::test
