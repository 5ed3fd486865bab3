#include <gtest/gtest.h>

#include "ui/win32/application.h"

// One application for every test, as in the program: COM on this thread and the common controls.
int main(int argc, char** argv) {
  const tailmend::Application application;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
