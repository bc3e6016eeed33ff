// The window suites; window_tests_main.cpp runs each in turn.
#ifndef TESSARIN_TESTS_WINDOW_WINDOW_TESTS_H_
#define TESSARIN_TESTS_WINDOW_WINDOW_TESTS_H_

namespace tessarin::testing {

int RunMainWindowTests(int argc, char** argv);
int RunRichViewWidgetTests(int argc, char** argv);
int RunCollapsingSinkTests(int argc, char** argv);
int RunLineCellsTests(int argc, char** argv);
int RunQtDialogsTests(int argc, char** argv);
int RunBusyIndicatorTests(int argc, char** argv);

}  // namespace tessarin::testing

#endif  // TESSARIN_TESTS_WINDOW_WINDOW_TESTS_H_
