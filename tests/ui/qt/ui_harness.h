#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "ui/qt/design_drawing.h"
#include "ui/qt/desktop_services.h"

namespace tailmend::test {

// Stands in for the person and the desktop: records error boxes, opened pages, files shown in their
// folders and texts copied, answers the file dialogs, and puts the real services back afterwards.
// Fails a test that leaves a window open.
class WindowTest : public ::testing::Test {
protected:
  ~WindowTest() override;

  std::vector<std::pair<QString, QString>> errorBoxes;  // caption, text
  QStringList openedPages;
  QStringList shownInFolder;
  QStringList copiedTexts;
  // Where the report's save dialog answers to save it; empty means the person cancelled.
  QString reportFile;
  // What the file dialog answers next; empty means the person cancelled.
  QStringList chosenFiles;
  int fileDialogsShown = 0;

private:
  DesktopServices Recorders();

  ScopedServices services_{Recorders()};
};

// The window's control of that design name; fails the test when there is none of that kind.
template <typename Control>
Control& Find(const QWidget& window, const char* name) {
  return DesignControl<Control>(window, name);
}

// Runs open, which is expected to show a dialog modally, and calls inspect on that dialog from
// inside its modal loop. A dialog that inspect leaves open is ended, so a failing test cannot hang.
void WithModal(const std::function<void()>& open, const std::function<void(QDialog&)>& inspect);

// Lets the event loop run until the condition holds; false when it does not within a minute.
bool WaitFor(const std::function<bool()>& condition);

// Clicks a control with the left mouse button, as a person would.
void Click(QWidget& control);

}  // namespace tailmend::test
