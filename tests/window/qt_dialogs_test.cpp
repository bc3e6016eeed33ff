#include "app/qt_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "tests/window/window_test_support.h"
#include "tests/window/window_tests.h"

namespace tessarin::testing {
namespace {

std::string Encoded(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Runs `answer` on the dialog as soon as its event loop runs.
template <typename Answer>
void WhenShown(Answer answer) {
  QTimer::singleShot(0, answer);
}

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenDialogStartsOnTheFileChosenLast() {
    QTemporaryDir dir;
    QWidget window;
    QFileDialog* open = CreateOpenDialog(&window);
    QFileDialog* save = CreateSaveDialog(&window);
    QtFileDialogs dialogs(*open, *save);
    const QString chosen = dir.filePath("a.fas");
    WhenShown([&] {
      open->selectFile(chosen);
      static_cast<QDialog*>(open)->accept();
    });
    QCOMPARE(dialogs.OpenFile(), std::optional(Encoded(chosen)));
    QStringList offered;
    WhenShown([&] {
      offered = open->selectedFiles();
      open->reject();
    });
    QCOMPARE(dialogs.OpenFile(), std::optional<std::string>());
    QCOMPARE(offered, QStringList{chosen});
  }

  void SaveDialogKeepsTheNameAsGiven() {
    QTemporaryDir dir;
    QWidget window;
    QFileDialog* save = CreateSaveDialog(&window);
    QtFileDialogs dialogs(*CreateOpenDialog(&window), *save);
    const QString chosen = dir.filePath("view");  // no extension added
    WhenShown([&] {
      save->selectFile(chosen);
      static_cast<QDialog*>(save)->accept();
    });
    QCOMPARE(dialogs.SaveFile(), std::optional(Encoded(chosen)));
  }

  // The chosen filter gives the figure's format and the extension of a
  // name typed without one.
  void FigureSaveDialogGivesTheFilterFormat_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<DocumentFormat>("format");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("rtf") << kRtfFilter << DocumentFormat::kRtf << "rtf";
    QTest::newRow("html") << kHtmlFilter << DocumentFormat::kHtml << "html";
    QTest::newRow("pdf") << kPdfFilter << DocumentFormat::kPdf << "pdf";
    QTest::newRow("svg") << kSvgFilter << DocumentFormat::kSvg << "svg";
    QTest::newRow("png") << kPngFilter << DocumentFormat::kPng << "png";
  }
  void FigureSaveDialogGivesTheFilterFormat() {
    QFETCH(QString, filter);
    QFETCH(DocumentFormat, format);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    QWidget window;
    QFileDialog* save = CreateFigureSaveDialog(&window);
    FigureOptionsDialog options(&window);
    QtFigureDialogs dialogs(options, *save, *CreateViewPictureDialog(&window),
                            &window);
    WhenShown([&] {
      save->selectNameFilter(filter);
      emit save->filterSelected(filter);
      save->selectFile(dir.filePath("figure"));
      static_cast<QDialog*>(save)->accept();
    });
    const std::optional<FigureFile> file = dialogs.FigureFileToSave();
    QVERIFY(file.has_value());
    QCOMPARE(file->format, format);
    QCOMPARE(file->path, Encoded(dir.filePath("figure." + suffix)));
  }

  void MessageBoxHasTheTextAndOneOkButton() {
    QtMessageBoxes boxes(nullptr);
    QString text;
    int buttons = 0;
    Qt::TextFormat format = Qt::AutoText;
    const auto answer = [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      text = box->text();
      format = box->textFormat();
      buttons = static_cast<int>(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    };
    WhenShown(answer);
    boxes.Present("Missing file(s)!\n(reported 2 times)");
    QCOMPARE(text, QStringLiteral("Missing file(s)!\n(reported 2 times)"));
    QCOMPARE(buttons, 1);
    // Texts from the input files are shown as they are, never as markup.
    WhenShown(answer);
    boxes.Present("No such file: /tmp/<h1>X</h1><img src=/some/local.png>");
    QCOMPARE(text, QStringLiteral("No such file: /tmp/<h1>X</h1><img "
                                  "src=/some/local.png>"));
    QCOMPARE(format, Qt::PlainText);
  }
};

}  // namespace

int RunQtDialogsTests(int argc, char** argv) {
  QtDialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "qt_dialogs_test.moc"
