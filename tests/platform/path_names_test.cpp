#include <gtest/gtest.h>

#include "platform/path_names.h"

namespace tailmend {
namespace {

struct PathCase {
  const char* path;
  const char* name;
};

#ifdef _WIN32
// A backslash or a drive's colon ends the folder; a forward slash does not.
constexpr PathCase kNames[] = {{"C:\\Photos\\IMG_0042.CRW", "IMG_0042.CRW"}, {"D:IMG.CRW", "IMG.CRW"},
                               {"\\\\server\\share\\a.crw", "a.crw"},         {"odd/name.CRW", "odd/name.CRW"},
                               {"C:\\Photos\\", ""},                          {"bare.CRW", "bare.CRW"}};
constexpr PathCase kJoined[] = {{"C:\\Photos", "C:\\Photos\\x.rtf"}, {"C:\\", "C:\\x.rtf"}, {"D:", "D:x.rtf"}};
#else
// Only a slash ends the folder; a backslash is part of a POSIX name.
constexpr PathCase kNames[] = {{"/photos/2026/IMG_0042.CRW", "IMG_0042.CRW"}, {"/odd\\name.CRW", "odd\\name.CRW"},
                               {"/photos/", ""},                              {"bare.CRW", "bare.CRW"}};
constexpr PathCase kJoined[] = {{"/usr/share/tailmend", "/usr/share/tailmend/x.rtf"}, {"/", "/x.rtf"}};
#endif

TEST(PathNames, TheFileNameFollowsTheLastSeparatorOfTheSystem) {
  for (const PathCase& c : kNames) EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
}

TEST(PathNames, ANameInAFolderGetsOneSeparator) {
  for (const PathCase& c : kJoined) EXPECT_EQ(PathInFolder(c.path, "x.rtf"), c.name) << c.path;
  EXPECT_EQ(PathInFolder("", "x.rtf"), "x.rtf");
}

}  // namespace
}  // namespace tailmend
