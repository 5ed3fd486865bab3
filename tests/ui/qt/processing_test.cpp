#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/ui_harness.h"
#include "ui/qt/main.h"
#include "ui/qt/process.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kHeapEnd = 700000;

class ProcessingDialog : public WindowTest {
protected:
  std::string PutDamaged(const std::string& name) {
    const std::string path = dir.File(name);
    WriteBytes(path, CiffBuilder().HeapEnd(kHeapEnd).Junk(4096).Build());
    return path;
  }
  // Selects files through the main window's own Browse button.
  void Select(const std::vector<std::string>& paths) {
    chosenFiles.clear();
    for (const std::string& path : paths) chosenFiles.push_back(QString::fromStdString(path));
    Click(Find<QPushButton>(window, "Button1"));
  }
  int RowCount() const { return Find<QTreeWidget>(window, "ListView1").topLevelItemCount(); }

  TempDir dir;
  TfrmMain window;
};

TEST_F(ProcessingDialog, AfterARunShowsTheLastFileAndCloses) {
  const std::string first = PutDamaged("IMG_0001.CRW");
  const std::string second = PutDamaged("IMG_0002.CRW");
  const std::string third = PutDamaged("IMG_0003.CRW");
  Select({first, second, third});
  TfrmProcessing dialog(window);
  WithModal([&] { dialog.exec(); },
            [](QDialog& shown) {
              EXPECT_EQ(shown.windowTitle(), "Processing 3 of 3");
              EXPECT_EQ(Find<QLabel>(shown, "Label12").text(), "Done");
              EXPECT_EQ(Find<QLabel>(shown, "Label22").text(), "Skiped");
              EXPECT_EQ(Find<QLabel>(shown, "Label32").text(), "Done");
              QTest::keyClick(&shown, Qt::Key_Escape);
              EXPECT_FALSE(shown.isVisible()) << "Escape closes a finished run";
            });
  EXPECT_EQ(RowCount(), 3);
}

// A file that cannot be opened ends the run with an error: the dialog then stays in the running
// state and only lets itself be closed once Stop has been pressed.
TEST_F(ProcessingDialog, AnErrorLeavesTheRunningStateWhichRefusesToCloseUntilStopped) {
  const std::string first = PutDamaged("IMG_0001.CRW");
  const std::string missing = dir.File("IMG_0002.CRW");
  const std::string third = PutDamaged("IMG_0003.CRW");
  Select({first, missing, third});
  TfrmProcessing dialog(window);
  WithModal([&] { dialog.exec(); },
            [&](QDialog& shown) {
              EXPECT_EQ(shown.windowTitle(), "Processing 2 of 3");
              auto& button = Find<QPushButton>(shown, "Button1");
              EXPECT_EQ(button.text(), "Stop");

              shown.close();
              EXPECT_TRUE(shown.isVisible()) << "the close box is refused while running";
              QTest::keyClick(&shown, Qt::Key_Escape);
              EXPECT_TRUE(shown.isVisible()) << "Escape is refused while running";

              Click(button);
              EXPECT_TRUE(shown.isVisible()) << "Stop only asks to stop";

              shown.close();
              EXPECT_FALSE(shown.isVisible()) << "the close box works once stopped";
            });

  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, "Tailmend");
  EXPECT_EQ(errorBoxes[0].second.toStdString(),
            "Cannot open file \"" + missing + "\". No such file or directory.");
  ASSERT_EQ(RowCount(), 1) << "the row written before the error stays";
  EXPECT_EQ(Find<QTreeWidget>(window, "ListView1").topLevelItem(0)->text(2), "Done");
  EXPECT_EQ(fs::file_size(third), kHeapEnd + 4096) << "files after the failing one are untouched";
}

}  // namespace
}  // namespace tailmend::test
