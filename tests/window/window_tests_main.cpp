// Runs every window suite in one program; the exit status is the number of
// failed test functions.
#include <QApplication>

#include "tests/window/window_tests.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using namespace tessarin::testing;
  int failures = 0;
  for (auto* run :
       {RunLineCellsTests, RunCollapsingSinkTests, RunQtDialogsTests,
        RunRichViewWidgetTests, RunMainWindowTests, RunBusyIndicatorTests}) {
    failures += run(argc, argv);
  }
  return failures;
}
