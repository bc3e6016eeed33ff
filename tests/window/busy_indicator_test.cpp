#include "app/busy_indicator.h"

#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include "tests/window/window_tests.h"

namespace tessarin::testing {
namespace {

class BusyIndicatorTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsStepsThenRestoresLabelAndCursor() {
    QLabel label(".");
    BusyIndicator busy(&label);
    busy.PhaseStarted(kPhaseReadFasta);
    QCOMPARE(label.text(), QStringLiteral("Reading the alignment..."));
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    busy.PhaseStarted(kPhaseReadTf);
    QCOMPARE(label.text(), QStringLiteral("Reading the TF file..."));
    busy.Finished();
    QCOMPARE(label.text(), QStringLiteral("."));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    busy.Finished();  // a second end changes nothing
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
  }

  void KeepsTheCommandsOwnStatus() {
    QLabel label(".");
    BusyIndicator busy(&label);
    busy.PhaseStarted(kPhaseAnnotate);
    label.setText("TF binding site annotation completed.");
    busy.StatusChanged();
    busy.PhaseStarted(kPhaseHighlight);  // shows no text of its own
    QCOMPARE(label.text(),
             QStringLiteral("TF binding site annotation completed."));
    busy.Finished();
    QCOMPARE(label.text(),
             QStringLiteral("TF binding site annotation completed."));
  }
};

}  // namespace

int RunBusyIndicatorTests(int argc, char** argv) {
  BusyIndicatorTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "busy_indicator_test.moc"
