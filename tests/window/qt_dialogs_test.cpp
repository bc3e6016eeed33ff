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
