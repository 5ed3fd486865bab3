#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "engine/file_verdict.h"
#include "platform/command_line.h"
#include "platform/file_stream.h"
#include "platform/path_names.h"
#include "tests/support/held_cut.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/ui_harness.h"
#include "ui/behaviour/csv_report.h"
#include "ui/qt/doc.h"
#include "ui/qt/main.h"
#include "ui/qt/state_icons.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

struct Row {
  std::string number, file, event;
  bool operator==(const Row&) const = default;
};

class MainWindow : public WindowTest {
protected:
  MainWindow() { window.show(); }

  std::vector<Row> Rows() const {
    const auto& list = Find<QTreeWidget>(window, "ListView1");
    std::vector<Row> rows;
    for (int k = 0; k < list.topLevelItemCount(); ++k) {
      const QTreeWidgetItem* item = list.topLevelItem(k);
      rows.push_back({item->text(0).toStdString(), item->text(1).toStdString(), item->text(2).toStdString()});
    }
    return rows;
  }
  QString EditText() const { return Find<QLineEdit>(window, "Edit1").text(); }
  void Browse(const QStringList& answer) {
    chosenFiles = answer;
    Click(Find<QPushButton>(window, "Button1"));
  }
  std::string PutDamaged(const std::string& name) {
    std::string path = dir.File(name);
    WriteBytes(path, DamagedPhoto());
    return path;
  }

  TempDir dir;
  TfrmMain window;
};

TEST_F(MainWindow, StartsWithItsPictureAndNothingSelected) {
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  const QLabel& picture = Find<QLabel>(window, "Image1");
  EXPECT_EQ(picture.pixmap().size(), picture.size()) << "the picture fills its place";
  EXPECT_TRUE(EditText().isEmpty());
  EXPECT_FALSE(Find<QCheckBox>(window, "CheckBox1").isChecked());
  EXPECT_TRUE(window.SelectedFiles().empty());
}

TEST_F(MainWindow, BrowseReplacesTheSelectionACancelKeepsItAndClosingReleasesIt) {
  Browse({"/photos/IMG_0001.CRW", "/photos/IMG_0002.CRW"});
  EXPECT_EQ(EditText(), "\"IMG_0001.CRW\" \"IMG_0002.CRW\" ");
  EXPECT_EQ(Find<QLineEdit>(window, "Edit1").toolTip(), "2 files selected from /photos/");
  EXPECT_EQ(window.SelectedFiles(), (FileList{"/photos/IMG_0001.CRW", "/photos/IMG_0002.CRW"}));

  Browse({"/other/IMG_0042.CRW"});
  EXPECT_EQ(EditText(), "\"IMG_0042.CRW\" ");
  EXPECT_EQ(window.SelectedFiles(), FileList{"/other/IMG_0042.CRW"});

  Browse({});
  EXPECT_EQ(fileDialogsShown, 3);
  EXPECT_EQ(EditText(), "\"IMG_0042.CRW\" ") << "a cancelled selection keeps the text";
  EXPECT_EQ(window.SelectedFiles(), FileList{"/other/IMG_0042.CRW"}) << "and the list";

  window.close();
  EXPECT_TRUE(window.SelectedFiles().empty());
}

TEST_F(MainWindow, TwoRunsRepairOnceAndNumberTheirRowsOn) {
  const std::string first = PutDamaged("IMG_0001.CRW");
  const std::string second = PutDamaged("IMG_0002.CRW");
  Browse({QString::fromStdString(first), QString::fromStdString(second)});
  Find<QCheckBox>(window, "CheckBox1").setChecked(true);

  // The first run is closed with its button, the second with Escape.
  for (const bool secondRun : {false, true}) {
    WithModal([&] { Click(Find<QPushButton>(window, "Button7")); },
              [&](QDialog& dialog) {
                auto& button = Find<QPushButton>(dialog, "Button1");
                ASSERT_TRUE(WaitFor([&] { return button.text() == "Close"; }));
                EXPECT_EQ(dialog.windowTitle(), "Processing 2 of 2");
                EXPECT_EQ(Find<QLabel>(dialog, "Label12").text(), secondRun ? "No file tail" : "Done");
                if (secondRun) {
                  QTest::keyClick(&dialog, Qt::Key_Escape);
                } else {
                  Click(button);
                }
                EXPECT_FALSE(dialog.isVisible()) << "a finished run closes";
              });
  }

  const std::vector<Row> expected = {
      {"1", first, "Done"}, {"2", second, "Done"}, {"3", first, "No file tail"}, {"4", second, "No file tail"}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(fs::file_size(first), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(second), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(dir.File("IMG_0001_bak0.crw")), DamagedPhoto().size()) << "the backup is the whole file";
  EXPECT_FALSE(fs::exists(dir.File("IMG_0001_bak1.crw"))) << "the second run found no tail to back up";
  EXPECT_TRUE(errorBoxes.empty());
}

// A card's run as a person sees it: a photo moved away after its selection gets its row "Failed"
// and the run goes on; Stop pressed while the next photo is being cut finishes that photo, its
// backup written first, and leaves the last as it was, with no backup. Meanwhile the dialog
// follows the run and neither it nor the main window lets itself be closed; once the run is over,
// one box says what went wrong.
TEST_F(MainWindow, ARunGoesOnPastAFailedPhotoAndStopsBeforeTheNextFileOnlyThenClosing) {
  const std::string first = PutDamaged("IMG_0001.CRW");
  const std::string missing = dir.File("IMG_0002.CRW");
  const std::string third = PutDamaged("IMG_0003.CRW");
  const std::string last = PutDamaged("IMG_0004.CRW");
  Browse({QString::fromStdString(first), QString::fromStdString(missing), QString::fromStdString(third),
          QString::fromStdString(last)});
  Find<QCheckBox>(window, "CheckBox1").setChecked(true);
  HeldCut held(2);
  WithModal([&] { Click(Find<QPushButton>(window, "Button7")); },
            [&](QDialog& shown) {
              ASSERT_TRUE(WaitFor([&] { return held.Held() && Rows().size() == 2; }));
              EXPECT_EQ(shown.windowTitle(), "Processing 3 of 4");
              EXPECT_EQ(Find<QLabel>(shown, "Label22").text(), "Done");
              auto& button = Find<QPushButton>(shown, "Button1");
              for (const bool stopPressed : {false, true}) {
                shown.close();
                QTest::keyClick(&shown, Qt::Key_Escape);
                window.close();
                EXPECT_TRUE(shown.isVisible() && window.isVisible()) << "no closing while running " << stopPressed;
                Click(button);
              }
              EXPECT_TRUE(errorBoxes.empty()) << "the box waits for the run's end";
              EXPECT_EQ(Find<QLabel>(shown, "Label41").text(), "") << "no summary while the run goes on";
              held.Release();
              ASSERT_TRUE(WaitFor([&] { return button.text() == "Close"; }));
              EXPECT_EQ(Find<QLabel>(shown, "Label41").text(), "4 files: 2 repaired, 1 failed; stopped after 3 of 4");
              shown.close();
              EXPECT_FALSE(shown.isVisible()) << "the close box works once the run has ended";
            });
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].second.toStdString(), "Cannot open file \"" + missing + "\". No such file or directory.");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", first, "Done"}, {"2", missing, "Failed"}, {"3", third, "Done"}}));
  EXPECT_EQ(window.EventRows()[1].failure->kind, FailureKind::Open);
  EXPECT_EQ(fs::file_size(third), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(dir.File("IMG_0003_bak0.crw")), DamagedPhoto().size());
  EXPECT_EQ(fs::file_size(last), DamagedPhoto().size());
  EXPECT_FALSE(fs::exists(dir.File("IMG_0004_bak0.crw")));
}

// Each row shows its state's icon and, under the mouse, its path and sentence; Enter shows its
// details, the photo's preview among them, or none for a file never read; the list's menu acts on
// the chosen row, and saves every row as a report.
TEST_F(MainWindow, EachRowExplainsItselfAndTheListsMenuActsOnIt) {
  QFile picture(QStringLiteral(":/tailmend/main_picture.jpg"));
  ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
  const QByteArray jpeg = picture.readAll();
  const std::string photo = dir.Put("IMG_0001.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())));
  FileStream stream = FileStream::OpenReadSharedRead(photo);
  window.AddEventRows({{photo, FileResult{Event::Done, JudgeFile(stream)}, {}},
                       {dir.File("gone.crw"), FileResult{Event::Failed, {}}, FileFailure{FailureKind::Open, "Gone"}}});
  auto& list = Find<QTreeWidget>(window, "ListView1");
  EXPECT_EQ(list.topLevelItem(1)->toolTip(2).toStdString(), dir.File("gone.crw") + "\nFailed: Gone");
  EXPECT_EQ(list.topLevelItem(0)->icon(0).pixmap(16).toImage(), StateIcon(FileState::Repaired).pixmap(16).toImage());
  const auto enabled = [&] {
    emit list.customContextMenuRequested(QPoint(2, 2));
    auto& menu = Find<QMenu>(window, "PopupMenu1");
    QStringList names;
    for (const QAction* item : menu.actions()) names += item->isEnabled() ? item->objectName() : QString();
    menu.hide();
    return names;
  };
  EXPECT_EQ(enabled(), (QStringList{"", "", "", "SaveReport1"})) << "no row chosen";
  list.setCurrentItem(list.topLevelItem(0));
  EXPECT_EQ(enabled(), (QStringList{"Details1", "ShowinFolder1", "CopyPath1", "SaveReport1"}));
  Find<QAction>(window, "CopyPath1").trigger();
  Find<QAction>(window, "ShowinFolder1").trigger();
  EXPECT_EQ(copiedTexts, QStringList{QString::fromStdString(photo)});
  reportFile = QString::fromStdString(dir.File("report.csv"));
  Find<QAction>(window, "SaveReport1").trigger();
  const std::string report = CsvReport(window.EventRows());
  EXPECT_EQ(ReadBytes(dir.File("report.csv")), Bytes(report.begin(), report.end()));
  WithModal([&] { QTest::keyClick(&list, Qt::Key_Return); },
            [&](QDialog& details) {
              EXPECT_EQ(Find<QLineEdit>(details, "Edit1").text(), "IMG_0001.CRW");
              EXPECT_EQ(Find<QLineEdit>(details, "Edit2").text().toStdString(), dir.Path().string());
              EXPECT_EQ(Find<QLabel>(details, "Label14").text(), "CRW_0042.CRW") << "the camera's name";
              EXPECT_FALSE(Find<QLabel>(details, "Image1").pixmap().isNull()) << "the preview";
              Click(Find<QPushButton>(details, "Button2"));
              EXPECT_EQ(shownInFolder, QStringList(2, QString::fromStdString(photo))) << "by the menu, then here";
              EXPECT_TRUE(details.isVisible()) << "open until OK";
            });
  list.setCurrentItem(list.topLevelItem(1));
  WithModal([&] { Find<QAction>(window, "Details1").trigger(); },
            [&](QDialog& details) { EXPECT_EQ(Find<QLabel>(details, "Image1").text(), "No preview"); });
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(MainWindow, TheDocumentButtonsOpenTheirOwnDocument) {
  struct Expected {
    const char* button;
    const char* caption;
    const char* docFile;
  };
  for (const Expected& doc : {Expected{"Button4", "What's this?", "whatis.rtf"},
                              Expected{"Button5", "How To ...", "howto.rtf"}}) {
    WithModal([&] { Click(Find<QPushButton>(window, doc.button)); },
              [&](QDialog& dialog) {
                EXPECT_EQ(dialog.windowTitle(), doc.caption);
                auto* viewer = dynamic_cast<TfrmShowDoc*>(&dialog);
                ASSERT_NE(viewer, nullptr);
                EXPECT_EQ(viewer->DocFile, doc.docFile);
                Click(Find<QPushButton>(dialog, "Button1"));
                EXPECT_EQ(dialog.result(), QDialog::Accepted);
              });
  }
}

// The two ways the desktop hands files over: dropped onto the window, or named on the command line
// ("Open with", a file manager's verb), as main passes them on.
enum class Handover { Drop, Arguments };

class DesktopFilesToTheWindow : public MainWindow, public ::testing::WithParamInterface<Handover> {
protected:
  // Returns whether the window took the drag; the drop is made only then, as a desktop would.
  bool HandOver(const std::vector<std::string>& paths) {
    if (GetParam() == Handover::Arguments) {
      std::vector<std::string> argumentsHeld = {"tailmend"};
      argumentsHeld.insert(argumentsHeld.end(), paths.begin(), paths.end());
      std::vector<char*> argv;
      for (std::string& argument : argumentsHeld) argv.push_back(argument.data());
      window.TakeDesktopFiles(CommandLineArguments(static_cast<int>(argv.size()), argv.data()));
      return true;
    }
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    return Drop(data);
  }
  bool Drop(const QMimeData& data) {
    EXPECT_TRUE(window.acceptDrops()) << "the desktop drags only over windows that accept drops";
    // A file manager offers a move too: taken as one, it would delete the photos once dropped.
    const QPoint middle = window.rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    return true;
  }
  std::vector<std::string> SelectedPaths() const {
    std::vector<std::string> paths;
    for (const SelectedFile& file : window.SelectedFiles()) paths.push_back(file.path);
    return paths;
  }
};

TEST_P(DesktopFilesToTheWindow, ReplaceTheSelectionAsBrowseDoesAndRepairNothing) {
  fs::create_directories(dir.Path() / "card" / "recup_dir.1");
  fs::create_directories(dir.Path() / "card" / "recup_dir.2");
  const std::string japanese = PutDamaged("\xE5\x86\x99\xE7\x9C\x9F.CRW");
  const std::string inFirst = PutDamaged(PathInFolder(PathInFolder("card", "recup_dir.1"), "f0001.crw"));
  const std::string russian = PutDamaged(PathInFolder(PathInFolder("card", "recup_dir.2"), "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.CRW"));
  const std::string other = dir.Put("notes.jpg", {0xFF, 0xD8});
  Browse({"/photos/IMG_0001.CRW"});

  ASSERT_TRUE(HandOver({japanese, dir.File("card"), other}));
  EXPECT_EQ(SelectedPaths(), (std::vector<std::string>{japanese, inFirst, russian}));
  EXPECT_EQ(EditText().toStdString(), "\"\xE5\x86\x99\xE7\x9C\x9F.CRW\" \"f0001.crw\" \"\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.CRW\" ");
  EXPECT_TRUE(errorBoxes.empty());
  for (const std::string& photo : {japanese, inFirst, russian}) {
    EXPECT_EQ(fs::file_size(fs::u8path(photo)), DamagedPhoto().size()) << "nothing is repaired before Fix Now";
  }
  EXPECT_TRUE(Rows().empty());

  ASSERT_TRUE(HandOver({other}));
  EXPECT_EQ(SelectedPaths(), (std::vector<std::string>{japanese, inFirst, russian})) << "nothing to take keeps the selection";
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, "Tailmend");
  EXPECT_EQ(errorBoxes[0].second, "None of the files given is a .crw file.");
}

INSTANTIATE_TEST_SUITE_P(BothWays, DesktopFilesToTheWindow, ::testing::Values(Handover::Drop, Handover::Arguments));

TEST_F(MainWindow, ADragOfAnythingButLocalFilesOrOfferedOnlyAsAMoveIsRefused) {
  QMimeData text;
  text.setText(QStringLiteral("IMG_0001.CRW"));
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/IMG_0001.CRW"))});
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("IMG_0001.CRW")))});
  struct Drag {
    const QMimeData* data;
    Qt::DropActions offered;
  };
  for (const Drag& drag : {Drag{&text, Qt::CopyAction}, Drag{&web, Qt::CopyAction}, Drag{&files, Qt::MoveAction}}) {
    QDragEnterEvent enter(window.rect().center(), drag.offered, drag.data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_FALSE(enter.isAccepted());
  }
}

TEST_F(MainWindow, DataRecoveryOpensTheSiteWithoutAWindow) {
  Click(Find<QPushButton>(window, "Button8"));
  EXPECT_EQ(openedPages, QStringList{"http://www.tailmend.example/"});
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace tailmend::test
