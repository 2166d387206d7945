// The window tests need one application object for all of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests that end the program run in a fresh process of their own.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Zantel_Config");
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  return RUN_ALL_TESTS();
}
