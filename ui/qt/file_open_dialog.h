#pragma once

#include <QStringList>

class QFileDialog;
class QWidget;

namespace tailmend {

// Sets up the dialog that picks the photos to repair: CRW files of either case, several at once,
// existing files only.
void ConfigureCrwOpenDialog(QFileDialog& dialog);

// Asks the user for CRW files in that dialog and returns their full paths in the dialog's order;
// an empty list when the user cancelled.
QStringList RunCrwOpenDialog(QWidget* parent);

// Asks the user where to save the event list's report, a CSV file, proposing kReportFileName; the
// full path, or nothing when the user cancelled. Replacing a file is asked first.
QString RunReportSaveDialog(QWidget* parent);

}  // namespace tailmend
