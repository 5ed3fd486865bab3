#include <gtest/gtest.h>

#include "engine/backup_copier.h"

namespace tailmend::test {
namespace {

struct NameCase {
  const char* source;
  unsigned long long number;
  const char* backup;
};

// On Windows the directory part ends at the last backslash or drive colon; a forward slash is part
// of the file name, which matters when fewer than four characters follow it.
TEST(BackupNameOnWindows, WindowsPathsSplitAtBackslashOrDriveColon) {
  const NameCase cases[] = {
      {"D:\\Photos\\IMG_0042.CRW", 0, "D:\\Photos\\IMG_0042_bak0.crw"},
      {"D:\\Photos\\IMG_0042.CRW", 1, "D:\\Photos\\IMG_0042_bak1.crw"},
      {"D:\\Photos\\IMG_0042.crw", 12, "D:\\Photos\\IMG_0042_bak12.crw"},
      {"D:IMG.CRW", 0, "D:IMG_bak0.crw"},
      {"D:\\Photos/IMG", 0, "D:\\Photos_bak0.crw"},
      {"D:\\a.b\\photo1", 0, "D:\\a.b\\ph_bak0.crw"},
      {"D:\\Photos\\.CRW", 0, "D:\\Photos\\_bak0.crw"},
      {"\\\\server\\share\\x.CRW", 0, "\\\\server\\share\\x_bak0.crw"},
      {"C:\\Фото\\Снимок.ЖПГ", 0, "C:\\Фото\\Снимок_bak0.crw"},
      {"x.CRW", 0, "x_bak0.crw"},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupName(c.source, c.number), c.backup) << c.source;
}

}  // namespace
}  // namespace tailmend::test
