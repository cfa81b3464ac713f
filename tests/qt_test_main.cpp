// Test main for widget tests: a QApplication on the offscreen platform with
// the program's font substitutions.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "report/font_substitutions.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  // As the program does, before any font is resolved: later lookups keep the
  // face Qt picked first.
  report::InstallFontSubstitutions();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
