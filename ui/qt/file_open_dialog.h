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

}  // namespace tailmend
