#include "ui/qt/file_open_dialog.h"

#include <QFileDialog>

#include "ui/behaviour/main_window.h"

namespace tailmend {

namespace {

const char* const kCrwFilter = "Canon CRW files (*.crw)";
const char* const kReportFilter = "CSV files (*.csv)";

}  // namespace

void ConfigureCrwOpenDialog(QFileDialog& dialog) {
  dialog.setWindowTitle(QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QString::fromLatin1(kCrwFilter));
  // Desktop dialogs on Linux match patterns case-sensitively and would hide the cameras' own
  // upper-case IMG_0001.CRW names; Qt's dialog matches either case.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setSizeGripEnabled(true);
}

QStringList RunCrwOpenDialog(QWidget* parent) {
  QFileDialog dialog(parent);
  ConfigureCrwOpenDialog(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString RunReportSaveDialog(QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Report"), QString::fromLatin1(kReportFileName),
                                      QString::fromLatin1(kReportFilter));
}

}  // namespace tailmend
