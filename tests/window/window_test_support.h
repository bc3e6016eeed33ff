// Fakes for driving the window without modal dialogs, input given as the
// user gives it (clicks, drags, keys), and the small inline input files the
// window suites share.
#ifndef TESSARIN_TESTS_WINDOW_WINDOW_TEST_SUPPORT_H_
#define TESSARIN_TESTS_WINDOW_WINDOW_TEST_SUPPORT_H_

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "app/rich_view_widget.h"

namespace tessarin::testing {

// Answers the file dialogs from scripts; an exhausted script cancels.
class ScriptedFileDialogs : public FileDialogs {
 public:
  std::optional<std::string> OpenFile() override {
    return Next(open_answers, open_asked);
  }
  std::optional<std::string> SaveFile() override {
    return Next(save_answers, save_asked);
  }

  std::deque<std::optional<std::string>> open_answers;
  std::deque<std::optional<std::string>> save_answers;
  int open_asked = 0;
  int save_asked = 0;
  // When set, the next dialog throws it instead of answering.
  std::exception_ptr failure;

 private:
  std::optional<std::string> Next(
      std::deque<std::optional<std::string>>& answers, int& asked) {
    ++asked;
    if (failure) std::rethrow_exception(std::exchange(failure, nullptr));
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Keeps the text of every box presented.
class RecordingBoxes : public MessageBoxes {
 public:
  void Present(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// Clicks `button` as the user would, first bringing to the front the page
// of every tab widget of its window that holds it.
inline void ClickButton(QAbstractButton* button) {
  for (QTabWidget* pages : button->window()->findChildren<QTabWidget*>()) {
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->widget(i)->isAncestorOf(button)) pages->setCurrentIndex(i);
    }
  }
  QTest::mouseClick(button, Qt::LeftButton);
}

// A point `fraction` of a cell into cell `cell` of visible row `line` of
// `view`, halfway down the row; fraction 0 is the cell's left edge.
inline QPoint CellPoint(const RichViewWidget& view, int line, int cell,
                        double fraction = 0) {
  const QSize size = view.CellSize();
  return QPoint(static_cast<int>((cell + fraction) * size.width()),
                line * size.height() + size.height() / 2);
}

inline void ClickAt(RichViewWidget& view, QPoint point,
                    Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, point);
}

// Presses the left button at `from`, moves to `to` and lets go there.
inline void DragAcross(RichViewWidget& view, QPoint from, QPoint to) {
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(view.viewport(), to);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
}

// Replaces the text of a line edit, or of an editable combo box, by
// selecting it all, deleting it and typing `text`.
inline void TypeInto(QWidget* field, const QString& text) {
  if (auto* chooser = qobject_cast<QComboBox*>(field)) {
    field = chooser->lineEdit();
  }
  auto* edit = qobject_cast<QLineEdit*>(field);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Makes item `index` of `chooser` current with the arrow keys.
inline void ChooseWithArrows(QComboBox* chooser, int index) {
  chooser->setFocus();
  while (chooser->currentIndex() != index) {
    QTest::keyClick(
        chooser, chooser->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
  }
}

// Toggles the check box of item `row` of `list` with the space bar.
inline void ToggleWithSpace(QListWidget* list, int row) {
  list->setFocus();
  list->setCurrentRow(row);
  QTest::keyClick(list, Qt::Key_Space);
}

// Two sequences whose names differ in length, one binding site on human and
// two scores; window 1-3 passes both cut-offs, window 4-6 only PI's.
inline constexpr const char* kFasta = ">human\nAC-GT~A\n>chimpanzee\nacggt-a\n";
inline constexpr const char* kTf =
    "[TF]\nName = F1\nMatchType = direct\n[[TABLE]]\nhuman 2 S1 CG\n*\n";
inline constexpr const char* kConservation =
    "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 1\n[[STATS]]\n"
    "Thresh 0.5 0.25\n[[TABLE]]\n1 3 0.1 0.1\n4 6 0.9 0.1\n*\n";

// Writes `content` to `name` in `dir`; returns the path in the file system's
// encoding.
inline std::string WriteFile(const QTemporaryDir& dir, const QString& name,
                             const std::string& content) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(content.data(), static_cast<qint64>(content.size()));
  return QFile::encodeName(path).toStdString();
}

inline std::string ReadFile(const std::string& path) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

}  // namespace tessarin::testing

// Failure output for lists of texts (messages, view lines).
namespace QTest {
template <>
inline char* toString(const std::vector<std::string>& texts) {
  QStringList quoted;
  for (const std::string& text : texts) {
    quoted << QString::fromLatin1(
        QByteArray::fromStdString(text).toPercentEncoding(" >:.-!()"));
  }
  return qstrdup(("[" + quoted.join(", ") + "]").toUtf8().constData());
}
}  // namespace QTest

#endif  // TESSARIN_TESTS_WINDOW_WINDOW_TEST_SUPPORT_H_
