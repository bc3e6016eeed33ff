#include "app/collapsing_sink.h"

#include <QTest>
#include <string>
#include <vector>

#include "tests/window/window_test_support.h"
#include "tests/window/window_tests.h"

namespace tessarin::testing {
namespace {

using Texts = std::vector<std::string>;

class CollapsingSinkTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsEachTextOnceInOrderOfFirstReport() {
    RecordingBoxes boxes;
    CollapsingSink sink(boxes);
    {
      CommandMessages command(sink);
      for (const char* text : {"b", "a", "b", "c", "b"}) sink.Show(text);
      QVERIFY(boxes.texts.empty());  // nothing shows while the command runs
    }
    QCOMPARE(boxes.texts, (Texts{"b\n(reported 3 times)", "a", "c"}));
  }

  void CountsStartAfreshForEachCommand() {
    RecordingBoxes boxes;
    CollapsingSink sink(boxes);
    for (int i = 0; i < 2; ++i) {
      CommandMessages command(sink);
      sink.Show("x");
      sink.Show("x");
    }
    QCOMPARE(boxes.texts,
             (Texts{"x\n(reported 2 times)", "x\n(reported 2 times)"}));
  }

  void ReportsOutsideACommandShowAtOnce() {
    RecordingBoxes boxes;
    CollapsingSink sink(boxes);
    sink.Show("x");
    sink.Show("x");
    QCOMPARE(boxes.texts, (Texts{"x", "x"}));
  }
};

}  // namespace

int RunCollapsingSinkTests(int argc, char** argv) {
  CollapsingSinkTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "collapsing_sink_test.moc"
