// The window tests need one application object for all of them.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/qt/qt_ui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests that end the program run in a fresh process of their own.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Started as the program starts it, desktop locale and all.
  auto application = zc::qt::StartApplication(argc, argv);
  QApplication::setApplicationName("Zantel_Config");
  return RUN_ALL_TESTS();
}
