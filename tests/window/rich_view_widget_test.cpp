#include "app/rich_view_widget.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>

#include "tests/window/window_test_support.h"
#include "tests/window/window_tests.h"
#include "view/rich_view.h"

namespace tessarin::testing {
namespace {

struct Selection {
  std::uint64_t start;
  std::uint64_t length;
  bool operator==(const Selection&) const = default;
};

char* toString(const Selection& selection) {
  return QTest::toString(
      QStringLiteral("(%1, %2)").arg(selection.start).arg(selection.length));
}

class RichViewWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    view_ = std::make_unique<RichView>();
    notices_ = 0;
    view_->SetSelectionChangeHandler([this] { ++notices_; });
    // Line 0 "ab> \tACGT" has its letters from index 5; line 1 from 13.
    view_->AppendLine("ab> \tACGT");
    view_->AppendLine("long> \tACGTAC");
    view_->AppendLine("");
    widget_ = std::make_unique<RichViewWidget>(*view_);
    widget_->resize(400, 200);
    widget_->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget_.get()));
    widget_->setFocus();
  }
  void cleanup() {
    widget_.reset();
    view_.reset();
  }

  void TabsLineUpTheLettersOfEveryRow() {
    // Both rows' first letters stand in the shared stop's cell, 8.
    QCOMPARE(widget_->FirstTabStop(), std::uint64_t{8});
    const int x = 8 * Cell().width();
    QCOMPARE(widget_->PointOfIndex(5).x(), x);
    QCOMPARE(widget_->PointOfIndex(17).x(), x);  // after "long> \t"
    QCOMPARE(widget_->PointOfIndex(17).y(), Cell().height());
  }

  void ClickPlacesTheCaretAtTheNearestBoundary() {
    Press(CellPoint(0, 9, 0.3));  // just right of the boundary before 'C'
    QCOMPARE(Model(), (Selection{6, 0}));
    Press(CellPoint(0, 9, 0.7));  // nearer the boundary after 'C'
    QCOMPARE(Model(), (Selection{7, 0}));
    Press(CellPoint(0, 60, 0.5));  // past the end: the line's end
    QCOMPARE(Model(), (Selection{9, 0}));
    Press(CellPoint(7, 8, 0.1));  // below the last line: the last line
    QCOMPARE(Model(), (Selection{LastLineStart(), 0}));
    QCOMPARE(notices_, 4);
  }

  void DragSelectsWithTheLowerEndAsStart() {
    DragAcross(*widget_, CellPoint(1, 12, 0), CellPoint(1, 9, 0));
    // Dragged leftwards from column 5 to column 2 of the second row.
    QCOMPARE(Model(), (Selection{10 + 8, 3}));
    QCOMPARE(widget_->SelectedText(), std::string("CGT"));
  }

  void DragHeldPastTheEdgeKeepsScrolling() {
    view_->AppendLine("row> \t" + std::string(400, 'A'));
    widget_->ModelChanged();
    QScrollBar* across = widget_->horizontalScrollBar();
    QTest::mousePress(widget_->viewport(), Qt::LeftButton, {},
                      CellPoint(3, 9, 0));
    const QPoint outside(widget_->viewport()->width() + 5, Cell().height() * 3);
    QTest::mouseMove(widget_->viewport(), outside);
    const int first = across->value();
    // No further move: the view scrolls on while the button is held.
    QTRY_VERIFY(across->value() > first + 5);
    QTest::mouseRelease(widget_->viewport(), Qt::LeftButton, {}, outside);
    const int released = across->value();
    QTest::qWait(150);
    QCOMPARE(across->value(), released);
    QCOMPARE(widget_->SelectedText().size(),
             static_cast<std::size_t>(Model().length));
  }

  void NamesStayInSightWhileScrolledSideways() {
    view_->AppendLine("row> \t" + std::string(400, 'A'));
    widget_->ModelChanged();
    widget_->horizontalScrollBar()->setValue(100);
    const QImage image = widget_->viewport()->grab().toImage();
    // Line 0 ended long before column 100, yet "ab>" shows at its left.
    bool inked = false;
    for (int x = 0; x < 3 * Cell().width(); ++x) {
      for (int y = 0; y < Cell().height(); ++y) {
        inked = inked || image.pixelColor(x, y).lightness() < 128;
      }
    }
    QVERIFY(inked);
    // The ruler right above the rows has a tick under column 110.
    auto* ruler = widget_->findChild<QWidget*>(QStringLiteral("Ruler1"));
    QVERIFY(ruler != nullptr);
    QCOMPARE(ruler->y() + ruler->height(), widget_->viewport()->y());
    const QImage strip = ruler->grab().toImage();
    const int tick = widget_->ColumnX(110) + Cell().width() / 2;
    QVERIFY(strip.pixelColor(tick, strip.height() - 1).lightness() < 128);
    QVERIFY(strip.pixelColor(tick + 2, strip.height() - 1).lightness() > 128);
    // A click there finds the name; one right of it, the scrolled letters.
    Press(CellPoint(0, 1, 0.1));
    QCOMPARE(Model(), (Selection{1, 0}));
    Press(CellPoint(3, 9, 0.1));
    QCOMPARE(Model(), (Selection{view_->LineStartOf(3) + 6 + 101, 0}));
  }

  void ShiftClickExtendsFromTheAnchor() {
    Press(CellPoint(0, 9, 0));
    ClickAt(*widget_, CellPoint(1, 10, 0), Qt::ShiftModifier);
    QCOMPARE(Model(), (Selection{6, 19 - 6}));
    QCOMPARE(widget_->SelectedText(), std::string("CGT\nlong> \tAC"));
  }

  void ArrowsCrossLineEndsAndShiftExtends() {
    Press(CellPoint(0, 12, 0));  // end of line 0, index 9
    QTest::keyClick(widget_.get(), Qt::Key_Right);
    QCOMPARE(Model(), (Selection{10, 0}));  // start of line 1
    QTest::keyClick(widget_.get(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(widget_.get(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(Model(), (Selection{8, 2}));
    QTest::keyClick(widget_.get(), Qt::Key_Left);
    QCOMPARE(Model(), (Selection{7, 0}));
    QTest::keyClick(widget_.get(), Qt::Key_Home);
    QCOMPARE(Model(), (Selection{0, 0}));
    QTest::keyClick(widget_.get(), Qt::Key_Left);  // nothing before 0
    QCOMPARE(Model(), (Selection{0, 0}));
    QTest::keyClick(widget_.get(), Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(Model(), (Selection{0, 9}));
    QTest::keyClick(widget_.get(), Qt::Key_End,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Model(), (Selection{0, LastLineStart()}));
    QTest::keyClick(widget_.get(), Qt::Key_Right);  // nothing after the end
    QCOMPARE(Model(), (Selection{LastLineStart(), 0}));
  }

  void UpAndDownKeepTheColumn() {
    Press(CellPoint(1, 13, 0));  // line 1 column 6, index 10 + 13 - 1
    QTest::keyClick(widget_.get(), Qt::Key_Up);
    // Line 0 is shorter: its end.
    QCOMPARE(Model(), (Selection{9, 0}));
    QTest::keyClick(widget_.get(), Qt::Key_Down, Qt::ShiftModifier);
    // Back to the column aimed for, not the end of line 0's column.
    QCOMPARE(Model(), (Selection{9, 10 + 12 - 9}));
    QTest::keyClick(widget_.get(), Qt::Key_PageDown);
    QCOMPARE(Model(), (Selection{LastLineStart(), 0}));
    // Still aiming for cell 13: the end of line 0.
    QTest::keyClick(widget_.get(), Qt::Key_PageUp, Qt::ShiftModifier);
    QCOMPARE(Model(), (Selection{9, LastLineStart() - 9}));
  }

  void SelectAllAndCopyWithNewlines() {
    QTest::keyClick(widget_.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Model(), (Selection{0, LastLineStart()}));
    QTest::keyClick(widget_.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("ab> \tACGT\nlong> \tACGTAC\n"));
  }

  void EveryUserChangeGivesOneNotice() {
    Press(CellPoint(0, 9, 0));
    QTest::keyClick(widget_.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(widget_.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(notices_, 3);
  }

  void DrawsColoursBackgroundsAndTheSelection() {
    SetRangeColor(*view_, 0, 5, 1, 0xFF0000);      // 'A': blue, not red
    SetRangeBackColor(*view_, 0, 6, 1, 0x00FFFF);  // 'C' on yellow
    SetRangeColor(*view_, 0, 7, 1, 0x80000000);    // 'G': system colour 0
    widget_->ModelChanged();
    Press(CellPoint(1, 8, 0));
    QTest::keyClick(widget_.get(), Qt::Key_Right, Qt::ShiftModifier);
    const QImage image = widget_->viewport()->grab().toImage();
    const auto count = [&](int line, int cell, auto&& wanted) {
      int found = 0;
      const QRect rect(cell * Cell().width(), line * Cell().height(),
                       Cell().width(), Cell().height());
      for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
          if (wanted(image.pixelColor(x, y))) ++found;
        }
      }
      return found;
    };
    const auto blue = [](QColor c) {
      return c.blue() > 200 && c.red() < 80 && c.green() < 80;
    };
    const auto red = [](QColor c) {
      return c.red() > 200 && c.blue() < 80 && c.green() < 80;
    };
    QVERIFY(count(0, 8, blue) > 0);
    QCOMPARE(count(0, 8, red), 0);
    QCOMPARE(image.pixelColor(9 * Cell().width() + 1, 1), QColor(255, 255, 0));
    // System colour 0 (scroll bar grey) is not the automatic black.
    const auto dark = [](QColor c) {
      return c.red() < 100 && c.green() < 100 && c.blue() < 100;
    };
    QCOMPARE(count(0, 10, dark), 0);
    QVERIFY(count(0, 11, dark) > 0);
    const QColor highlight = widget_->palette().color(QPalette::Highlight);
    QCOMPARE(image.pixelColor(8 * Cell().width() + 1, Cell().height() + 1),
             highlight);
    QVERIFY(image.pixelColor(9 * Cell().width() + 1, Cell().height() + 1) !=
            highlight);
  }

  void AnEmptyViewIsAnEmptyPage() {
    view_->Clear();
    widget_->ModelChanged();
    Press(CellPoint(3, 5, 0));
    QTest::keyClick(widget_.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(widget_.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Model(), (Selection{0, 0}));
    QCOMPARE(widget_->SelectedText(), std::string());
    QVERIFY(!widget_->viewport()->grab().isNull());
  }

  void ScrollsToTheMovingEnd() {
    view_->Clear();
    for (int i = 0; i < 100; ++i) view_->AppendLine(std::string(300, 'A'));
    widget_->ModelChanged();
    QTest::keyClick(widget_.get(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(widget_->verticalScrollBar()->value() > 0);
    QVERIFY(widget_->horizontalScrollBar()->value() > 0);
    const QPoint caret = widget_->PointOfIndex(Model().start);
    QVERIFY(widget_->viewport()->rect().contains(caret));
    // The mapping follows the scroll position both ways.
    QCOMPARE(widget_->IndexAt(caret + QPoint(1, 1)), Model().start);
  }

  void PaintsOnlyWhatIsInSight() {
    // 200 rows of 20000 columns with attributes everywhere: a paint far
    // into the view must not walk the document.
    view_->Clear();
    const std::string row = "name> \t" + std::string(20000, 'A');
    for (int i = 0; i < 200; ++i) {
      view_->AppendLine(row);
      SetRangeStyle(*view_, i, 7, 20000, kFontUnderline);
    }
    QElapsedTimer timer;
    timer.start();
    widget_->ModelChanged();
    widget_->verticalScrollBar()->setValue(150);
    widget_->horizontalScrollBar()->setValue(15000);
    for (int i = 0; i < 20; ++i) widget_->viewport()->repaint();
    QVERIFY2(timer.elapsed() < 2000,
             qPrintable(QString::number(timer.elapsed())));
  }

 private:
  QSize Cell() const { return widget_->CellSize(); }
  QPoint CellPoint(int line, int cell, double fraction) const {
    return testing::CellPoint(*widget_, line, cell, fraction);
  }
  void Press(QPoint point) { ClickAt(*widget_, point); }
  Selection Model() const { return {view_->SelStart(), view_->SelLength()}; }
  std::uint64_t LastLineStart() const { return view_->LineStartOf(2); }

  std::unique_ptr<RichView> view_;
  std::unique_ptr<RichViewWidget> widget_;
  int notices_ = 0;
};

}  // namespace

int RunRichViewWidgetTests(int argc, char** argv) {
  RichViewWidgetTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "rich_view_widget_test.moc"
