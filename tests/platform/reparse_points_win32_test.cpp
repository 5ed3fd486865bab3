#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/batch_run.h"
#include "engine/folder_walk.h"
#include "tests/support/photos.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {
namespace {

// Wine 8 answers that it made a link, but keeps no reparse points at all.
bool MadeSymbolicLink(const std::string& link, const std::string& target, DWORD flags) {
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  ::CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), flags | kUnprivileged);
  const DWORD attributes = ::GetFileAttributesW(Wide(link).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A symbolic link to a photo met in a folder walk is reported and left out, like a link to a
// folder: it may lead anywhere, to a photo the folder's users should not reach.
TEST(ReparsePoint, ASymbolicLinkToAFileInAWalkIsSkipped) {
  TempDir dir;
  TempDir elsewhere;
  const std::string target = elsewhere.Put("private.CRW", DamagedPhoto());
  const std::string photo = dir.Put("a.CRW", DamagedPhoto());
  const std::string link = dir.File("planted.crw");
  if (!MadeSymbolicLink(link, target, 0)) GTEST_SKIP() << "this system makes no symbolic links here";
  const FileArguments walked = ExpandFileArguments({dir.Path().string()});
  ASSERT_EQ(walked.files.size(), 1u);
  EXPECT_EQ(walked.files[0].path, photo);
  ASSERT_EQ(walked.notes.size(), 1u);
  EXPECT_EQ(walked.notes[0].kind, WalkNoteKind::Link);
  EXPECT_EQ(walked.notes[0].path, link);
}

// A link planted below the output folder in place of a photo's folder is never written through.
TEST(ReparsePoint, ALinkBelowTheOutputFolderIsNotWrittenThrough) {
  TempDir dir;
  TempDir elsewhere;
  std::filesystem::create_directories(dir.Path() / "card" / "sub");
  std::filesystem::create_directories(dir.Path() / "fixed");
  dir.Put("card\\sub\\a.CRW", DamagedPhoto());
  const std::string link = dir.File("fixed\\sub");
  if (!MadeSymbolicLink(link, elsewhere.Path().string(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "this system makes no symbolic links here";
  }
  RecordingSink sink;
  ProcessFiles(ExpandFileArguments({dir.File("card")}).files, sink,
               {OnFileError::ReportAndGoOn, false, dir.File("fixed")});
  ASSERT_EQ(sink.failures.size(), 1u);
  EXPECT_EQ(sink.failures[0].second.reason, link + " is a symbolic link");
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

}  // namespace
}  // namespace tailmend::test
