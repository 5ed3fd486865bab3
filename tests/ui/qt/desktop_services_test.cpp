#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <stdexcept>

#include "tests/support/temp_dir.h"
#include "tests/ui/qt/ui_harness.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/file_open_dialog.h"

namespace tailmend::test {
namespace {

using ErrorGuard = WindowTest;

// The guard's rule is the window behaviour's; here, that its box is the desktop's, under the title.
TEST_F(ErrorGuard, ShowsTheErrorInTheStandardBoxUnderTheProgramsTitle) {
  RunGuarded([] { throw std::runtime_error("Cannot open file \"a.crw\". Permission denied"); });
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, "Tailmend");
  EXPECT_EQ(errorBoxes[0].second, "Cannot open file \"a.crw\". Permission denied.");
}

TEST(CrwOpenDialog, AcceptsSeveralExistingFilesOfEitherCase) {
  const TempDir dir;
  for (const char* name : {"lower.crw", "UPPER.CRW", "other.jpg"}) WriteBytes(dir.File(name), {1});
  QFileDialog dialog;
  ConfigureCrwOpenDialog(dialog);
  EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
  EXPECT_EQ(dialog.nameFilters(), QStringList{"Canon CRW files (*.crw)"});

  auto* model = dialog.findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  const QString folder = QString::fromStdString(dir.Path().string());
  QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
  dialog.setDirectory(folder);
  ASSERT_TRUE(loaded.wait(5000));
  const QModelIndex root = model->index(folder);
  ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) >= 2; }, 5000));
  QStringList listed;
  for (int row = 0; row < model->rowCount(root); ++row) {
    const QModelIndex index = model->index(row, 0, root);
    if (model->flags(index) & Qt::ItemIsEnabled) listed.push_back(model->fileName(index));
  }
  listed.sort();
  EXPECT_EQ(listed, (QStringList{"UPPER.CRW", "lower.crw"}));
}

}  // namespace
}  // namespace tailmend::test
