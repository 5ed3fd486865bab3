#include <QCoreApplication>
#include <QTextEdit>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "tests/support/temp_dir.h"
#include "tests/ui/qt/ui_harness.h"
#include "ui/qt/doc.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// A document name no build delivers, so the folders it is put into decide alone what is found.
const char* const kDocName = "tailmend-viewer-test.rtf";

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class DocViewer : public WindowTest {
protected:
  DocViewer() : cwd(dir.Path()) {}

  // Shows the viewer for a document name and returns what it displayed.
  QString Show(const char* docFile) {
    TfrmShowDoc viewer;
    viewer.DocFile = QString::fromLatin1(docFile);
    QString shown;
    WithModal([&] { viewer.exec(); },
              [&](QDialog& dialog) { shown = Find<QTextEdit>(dialog, "RichEdit1").toPlainText(); });
    return shown;
  }

  TempDir dir;
  CurrentDirectory cwd;
};

TEST_F(DocViewer, SaysSoWhenTheDocumentIsNowhere) {
  EXPECT_EQ(Show(kDocName), "Document file doesn't exist.");
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(DocViewer, ShowsAFileThatIsNotRtfAsPlainText) {
  WriteText(dir.Path() / kDocName, "Just words,\nno {\\rtf} here.");
  EXPECT_EQ(Show(kDocName), "Just words,\nno {\\rtf} here.");
}

TEST_F(DocViewer, ShowsRtfAsFormattedText) {
  WriteText(dir.Path() / kDocName, "{\\rtf1\\ansi Cut the {\\b tail} off.\\par}");
  const QString shown = Show(kDocName);
  EXPECT_TRUE(shown.contains("tail")) << shown.toStdString();
  EXPECT_FALSE(shown.contains("\\rtf1")) << shown.toStdString();
}

// The documents are delivered beside the program and installed in the data folder; the current
// directory is only the last resort.
TEST_F(DocViewer, LooksBesideTheProgramThenInTheDataFolderThenInTheCurrentFolder) {
  const std::vector<std::string> folders = HelpDocumentFolders();
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_TRUE(fs::equivalent(folders[0], QCoreApplication::applicationDirPath().toStdString())) << folders[0];
  EXPECT_TRUE(folders[1].starts_with(folders[0] + "/")) << folders[1];
  EXPECT_TRUE(fs::equivalent(folders[2], dir.Path())) << folders[2];
}

TEST_F(DocViewer, ADocumentThatCannotBeOpenedShowsTheErrorAndAnEmptyViewer) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may read any file";
  const fs::path path = dir.Path() / kDocName;
  WriteText(path, "secret");
  fs::permissions(path, fs::perms::none);
  EXPECT_EQ(Show(kDocName), "");
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_TRUE(errorBoxes[0].second.startsWith("Cannot open file \"")) << errorBoxes[0].second.toStdString();
  EXPECT_TRUE(errorBoxes[0].second.endsWith("Permission denied.")) << errorBoxes[0].second.toStdString();
}

}  // namespace
}  // namespace tailmend::test
