#pragma once

#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace tailmend {

// Sets up the dialog that picks the photos to repair: CRW files of either case, several at once,
// existing files only.
void ConfigureCrwOpenDialog(QFileDialog& dialog);

// Asks the user for CRW files and returns their full paths in the dialog's order; an empty list
// when the user cancelled.
QStringList ChooseCrwFiles(QWidget* parent);

// What asks the user; tests answer instead of a person.
using FileChooser = std::function<QStringList(QWidget* parent)>;
// Replaces the chooser and returns the previous one; an empty chooser brings the dialog back.
FileChooser SetFileChooser(FileChooser chooser);

}  // namespace tailmend
