#include <windows.h>

#include <gtest/gtest.h>

#include "engine/folder_walk.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {
namespace {

// A symbolic link to a photo met in a folder walk is reported and left out, like a link to a
// folder: it may lead anywhere, to a photo the folder's users should not reach.
TEST(ReparsePoint, ASymbolicLinkToAFileInAWalkIsSkipped) {
  TempDir dir;
  TempDir elsewhere;
  const std::string target = elsewhere.Put("private.CRW", DamagedPhoto());
  const std::string photo = dir.Put("a.CRW", DamagedPhoto());
  const std::string link = dir.File("planted.crw");
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  // Wine 8 answers that it made the link, but keeps no reparse points at all.
  ::CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), kUnprivileged);
  const DWORD attributes = ::GetFileAttributesW(Wide(link).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    GTEST_SKIP() << "this system makes no symbolic links here";
  }
  const FileArguments walked = ExpandFileArguments({dir.Path().string()});
  ASSERT_EQ(walked.files.size(), 1u);
  EXPECT_EQ(walked.files[0].path, photo);
  ASSERT_EQ(walked.notes.size(), 1u);
  EXPECT_EQ(walked.notes[0].kind, WalkNoteKind::Link);
  EXPECT_EQ(walked.notes[0].path, link);
}

}  // namespace
}  // namespace tailmend::test
