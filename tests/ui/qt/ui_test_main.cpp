#include <gtest/gtest.h>

#include <QApplication>

// One application for every test, as in the program; offscreen unless told otherwise, so no test
// needs a display.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tailmend"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
