// The window tests run real widgets on Qt's offscreen platform (CTest sets
// QT_QPA_PLATFORM=offscreen; so does this main when nothing else is set).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
