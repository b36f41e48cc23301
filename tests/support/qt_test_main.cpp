// main() for tests of windows: offscreen Qt, the UI loop, no real boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kanzo::platform::InitNarrowEncoding();
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  kanzo::platform::QtUiLoop loop;
  return RUN_ALL_TESTS();
}
