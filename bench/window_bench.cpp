// Benchmarks of the window, run headless: Read in Files + Annotate + the
// first paint of the view, a scroll step, extending the selection by one
// character, and a screenful of the conservation plot. The data comes from
// tessarin-generate; bench/run makes it.
//
//   QT_QPA_PLATFORM=offscreen tessarin-window-bench DIR [Qt Test options]
//   (DIR holds bench.fas, bench.tf and bench.cons)
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "app/plot_panel.h"
#include "app/rich_view_widget.h"

namespace {

std::string g_folder;

// Answers every message box silently, so the benchmark never blocks.
class SilentBoxes : public tessarin::MessageBoxes {
 public:
  void Present(const std::string&) override {}
};

class WindowBench : public QObject {
  Q_OBJECT

 private:
  SilentBoxes boxes_;

  void Load(tessarin::TForm1& form) {
    form.ChooseFile(tessarin::FileSlot::kFas, g_folder + "/bench.fas");
    form.ChooseFile(tessarin::FileSlot::kConservation,
                    g_folder + "/bench.cons");
    form.ChooseFile(tessarin::FileSlot::kTf, g_folder + "/bench.tf");
  }

  tessarin::RichViewWidget* View(tessarin::TForm1& form) {
    return form.findChild<tessarin::RichViewWidget*>("RE1");
  }

 private slots:
  void ReadInAnnotateAndFirstPaint() {
    tessarin::TForm1 form({nullptr, &boxes_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Load(form);
    QBENCHMARK {
      form.Button1Click();
      form.Button3Click();
      View(form)->viewport()->grab();
    }
  }

  void AnnotateAndFirstPaint() {
    tessarin::TForm1 form({nullptr, &boxes_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Load(form);
    form.Button1Click();
    QBENCHMARK {
      form.Button3Click();
      View(form)->viewport()->grab();
    }
  }

  void ScrollOnePage() {
    tessarin::TForm1 form({nullptr, &boxes_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Load(form);
    form.Button1Click();
    form.Button3Click();
    QScrollBar* bar = View(form)->verticalScrollBar();
    QScrollBar* across = View(form)->horizontalScrollBar();
    across->setValue(across->maximum() / 2);
    QBENCHMARK {
      int next = bar->value() + bar->pageStep();
      if (next > bar->maximum()) next = 0;
      bar->setValue(next);
      View(form)->viewport()->grab();
    }
  }

  void PaintPlotScreenful() {
    tessarin::TForm1 form({nullptr, &boxes_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Load(form);
    form.Button1Click();
    form.Button3Click();
    form.PlotClick(true);
    QScrollBar* across = View(form)->horizontalScrollBar();
    across->setValue(across->maximum() / 2);
    auto* plot = form.findChild<tessarin::PlotPanel*>("PlotPanel");
    QBENCHMARK { plot->grab(); }
  }

  void ExtendSelectionByOneCharacter() {
    tessarin::TForm1 form({nullptr, &boxes_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Load(form);
    form.Button1Click();
    form.Button3Click();
    tessarin::RichViewWidget* view = View(form);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QBENCHMARK {
      QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
      view->viewport()->grab();
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: tessarin-window-bench DIR [Qt Test options]\n");
    return 2;
  }
  g_folder = argv[1];
  argv[1] = argv[0];
  WindowBench bench;
  return QTest::qExec(&bench, argc - 1, argv + 1);
}

#include "window_bench.moc"
