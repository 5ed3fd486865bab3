#include "tests/ui/qt/ui_harness.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <exception>

namespace tailmend::test {

DesktopServices WindowTest::Recorders() {
  return {
      [this](const QString& caption, const QString& text) { errorBoxes.emplace_back(caption, text); },
      [this](const QString& address) { openedPages.push_back(address); },
      [this](QWidget*) {
        ++fileDialogsShown;
        return chosenFiles;
      },
      [this](const QString& file) { shownInFolder.push_back(file); },
      [this](QWidget*) { return reportFile; },
      [this](const QString& text) { copiedTexts.push_back(text); },
  };
}

// Runs after the test's own windows are gone, so whatever is still visible was left behind.
WindowTest::~WindowTest() {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(window->isVisible()) << "left open: " << window->objectName().toStdString();
  }
}

void WithModal(const std::function<void()>& open, const std::function<void(QDialog&)>& inspect) {
  bool reached = false;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    reached = true;
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no modal dialog is open";
      return;
    }
    try {
      inspect(*dialog);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    if (dialog->isVisible()) dialog->done(QDialog::Rejected);
  });
  timer.start(0);
  open();
  EXPECT_TRUE(reached) << "no modal loop ran";
}

bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 60000); }

void Click(QWidget& control) { QTest::mouseClick(&control, Qt::LeftButton); }

}  // namespace tailmend::test
