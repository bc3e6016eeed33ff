#include "app/line_cells.h"

#include <QTest>
#include <string>
#include <vector>

#include "tests/window/window_tests.h"

namespace tessarin::testing {
namespace {

class LineCellsTest : public QObject {
  Q_OBJECT

 private slots:
  void SharedStopLiesPastTheLongestPrefix_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qulonglong>("stop");
    QTest::newRow("no tab") << QStringList{"abc", ""} << 0ull;
    QTest::newRow("short names")
        << QStringList{"human> \tAC", "mouse> \t.."} << 8ull;
    QTest::newRow("prefix of exactly 8")
        << QStringList{"abcdefgh\tA", "a\tA"} << 16ull;
    QTest::newRow("longest wins")
        << QStringList{"human> \tAC", "chimpanzee> \tAC", "x"} << 16ull;
    QTest::newRow("only the first tab counts")
        << QStringList{"a\tbbbbbbbbbbbbbbbbbbbb\tc"} << 8ull;
  }
  void SharedStopLiesPastTheLongestPrefix() {
    QFETCH(QStringList, lines);
    QFETCH(qulonglong, stop);
    std::vector<std::string> bytes;
    for (const QString& line : lines) bytes.push_back(line.toStdString());
    QCOMPARE(FirstTabStop([&](auto&& visit) {
               for (const std::string& line : bytes) visit(line);
             }),
             stop);
  }

  void CellsFollowTheTabRule() {
    // First tab to the shared stop 16, a later tab to the next multiple
    // of 8.
    const std::string line = "ab\tCD\tE";
    const LineCells cells(line, 16);
    const std::vector<std::uint64_t> expected = {0, 1, 2, 16, 17, 18, 24, 25};
    for (std::uint64_t offset = 0; offset < expected.size(); ++offset) {
      QCOMPARE(cells.CellOf(offset), expected[offset]);
    }
    QCOMPARE(cells.Width(), 25ull);
    QCOMPARE(cells.CellOf(10), 28ull);  // offsets past the end keep counting
  }

  void FirstTabPastTheStopTakesTheNextMultipleOfEight() {
    const LineCells cells("abcdefghij\tX", 8);
    QCOMPARE(cells.CellOf(11), 16ull);
    // A tab right on a multiple still takes a cell.
    QCOMPARE(LineCells("abcdefgh\tX", 0).CellOf(9), 16ull);
  }

  void HitTestingPicksTheNearestBoundary() {
    const LineCells cells("ab\tCD", 8);  // tab covers cells 2 to 7
    const std::vector<std::pair<double, std::uint64_t>> cases = {
        {-3.0, 0}, {0.0, 0}, {0.4, 0}, {0.6, 1}, {2.2, 2}, {4.9, 2},
        {5.1, 3},  {7.9, 3}, {8.4, 3}, {8.6, 4}, {9.6, 5}, {40, 5}};
    for (const auto& [x, offset] : cases) {
      QVERIFY2(cells.OffsetNearest(x) == offset,
               qPrintable(QString::number(x)));
    }
  }

  void CellLookupFindsTheCoveringCharacter() {
    const LineCells cells("ab\tCD", 8);
    const std::vector<std::uint64_t> expected = {0, 1, 2, 2, 2, 2,
                                                 2, 2, 3, 4, 5, 5};
    for (std::uint64_t cell = 0; cell < expected.size(); ++cell) {
      QCOMPARE(cells.OffsetAtCell(cell), expected[cell]);
    }
  }
};

}  // namespace

int RunLineCellsTests(int argc, char** argv) {
  LineCellsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "line_cells_test.moc"
