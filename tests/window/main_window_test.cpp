#include "app/main_window.h"

#include <unistd.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "alignment/position_map.h"
#include "app/plot_panel.h"
#include "app/rich_view_widget.h"
#include "sources/reading_in.h"
#include "tests/window/window_test_support.h"
#include "tests/window/window_tests.h"
#include "text/message_sink.h"
#include "view/conservation_highlight.h"
#include "view/rich_view.h"

namespace tessarin::testing {
namespace {

using Texts = std::vector<std::string>;

constexpr const char* kListing[] = {"human> \tAC-GT~A",
                                    "chimpanzee> \tACGGT-A"};
constexpr const char* kHumanColumns3To5 =
    "human: +Gaps: Pos=3 L=3 -Gaps: Pos=2 L=2 >GT";

// Answers Export Figure's two questions; nothing cancels.
class ScriptedFigureDialogs : public FigureDialogs {
 public:
  std::optional<FigureOptions> FigureOptionsFor(
      const std::string& default_title) override {
    ++asked;
    offered_title = default_title;
    return options;
  }
  std::optional<FigureFile> FigureFileToSave() override {
    ++asked;
    return file;
  }
  std::optional<std::string> ViewPictureToSave() override {
    ++asked;
    return picture;
  }
  bool PrintFigure(const FigureDocument& figure) override {
    printed_title = figure.provenance.title;
    printed_blocks = figure.layout.blocks.size();
    return true;
  }

  std::optional<FigureOptions> options;
  std::optional<FigureFile> file;
  std::optional<std::string> picture;
  int asked = 0;
  std::string offered_title;
  std::string printed_title;
  std::size_t printed_blocks = 0;
};

// Documents carry a date: fixed while this lives, so that two writings of
// one document agree.
class FixedDocumentDate {
 public:
  FixedDocumentDate() : kept_(qgetenv(kVariable)) {
    qputenv(kVariable, "86400");
  }
  ~FixedDocumentDate() {
    if (kept_.isNull()) {
      qunsetenv(kVariable);
    } else {
      qputenv(kVariable, kept_);
    }
  }
  FixedDocumentDate(const FixedDocumentDate&) = delete;
  FixedDocumentDate& operator=(const FixedDocumentDate&) = delete;

 private:
  static constexpr const char* kVariable = "SOURCE_DATE_EPOCH";
  QByteArray kept_;
};

// The bundled example. Its folder comes from the build, as for the other
// suites: __FILE__ may be a path relative to the build folder (a compiler
// cache rewrites it so), which does not hold where the test runs.
std::string ExamplePath(const char* name) {
  return (std::filesystem::path(TESSARIN_EXAMPLES) / name).string();
}

// Records the text Label7 has each time it is painted, and each text and
// each paint of another widget painted under the wait cursor.
class PaintRecorder : public QObject {
 public:
  QStringList painted;
  QStringList painted_busy;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* label = qobject_cast<QLabel*>(watched);
    const QString text = label ? label->text() : watched->objectName();
    if (label) painted << text;
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (cursor && cursor->shape() == Qt::WaitCursor) painted_busy << text;
    return false;
  }
};

// Answers Compute Conservation's question with `answer` and keeps the rows
// it was offered.
class ScriptedConservationQuestions : public ConservationQuestions {
 public:
  std::optional<WindowSettings> AskWindows(
      const std::vector<std::string>& rows) override {
    offered = rows;
    return answer;
  }
  std::optional<WindowSettings> answer;
  std::vector<std::string> offered;
};

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    dialogs_ = std::make_unique<ScriptedFileDialogs>();
    boxes_ = std::make_unique<RecordingBoxes>();
    figures_ = std::make_unique<ScriptedFigureDialogs>();
    questions_ = std::make_unique<ScriptedConservationQuestions>();
    window_ =
        std::make_unique<TForm1>(WindowDialogs{.files = dialogs_.get(),
                                               .boxes = boxes_.get(),
                                               .figures = figures_.get(),
                                               .windows = questions_.get()});
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  // --- The window as it first shows -------------------------------------

  void ControlsHaveTheirNamesCaptionsAndPlaces_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");  // width or height 0: not fixed
    const auto row = [](const char* name, const char* caption, QRect place) {
      QTest::newRow(name) << QString::fromLatin1(caption) << place;
    };
    row("PageControl1", "", QRect(8, 4, 524, 121));
    row("Label1", "Input FAS File:", QRect(48, 16, 0, 0));
    row("Label2", "Input Conservation File:", QRect(48, 35, 0, 0));
    row("Label3", "Input TF File: ", QRect(48, 54, 0, 0));
    row("Label4", "...", QRect(168, 16, 0, 0));
    row("Label5", "...", QRect(168, 35, 0, 0));
    row("Label6", "...", QRect(168, 54, 0, 0));
    row("Button4", "SET", QRect(8, 15, 34, 17));
    row("Button5", "SET", QRect(8, 34, 34, 17));
    row("Button6", "SET", QRect(8, 54, 34, 17));
    row("Button1", "Read in Files", QRect(8, 73, 111, 17));
    row("Button7", "Save RTF", QRect(125, 73, 108, 17));
    row("ExportFigureButton", "Export Figure...", QRect(239, 73, 108, 17));
    row("ImportSitesButton", "Import Sites...", QRect(353, 73, 96, 17));
    row("Button3", "Annotate", QRect(3, 3, 75, 25));
    row("Label8", "Conservation Criteria", QRect(104, 8, 0, 0));
    row("CheckListBox1", "", QRect(104, 24, 121, 69));
    row("Label9", "Threshold value", QRect(248, 8, 0, 0));
    row("ComboBox1", "", QRect(248, 24, 88, 0));
    row("Edit1", "", QRect(342, 24, 43, 0));
    row("Button8", "SET", QRect(391, 24, 50, 21));
    row("ComputeConservationButton", "Compute Conservation...",
        QRect(248, 52, 150, 21));
    row("PrintFigureButton", "Print Figure...", QRect(405, 52, 100, 21));
    row("ExportViewButton", "Export View...", QRect(3, 34, 95, 21));
    row("RE1", "", QRect(8, 127, 524, 234));
    row("Label7", ".", QRect(8, 367, 0, 0));
    row("Button2", "About", QRect(504, 4, 28, 12));
  }
  void ControlsHaveTheirNamesCaptionsAndPlaces() {
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    auto* control = window_->findChild<QWidget*>(
        QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control != nullptr);
    QCOMPARE(control->pos(), place.topLeft());
    if (place.width() > 0) QCOMPARE(control->width(), place.width());
    if (place.height() > 0) QCOMPARE(control->height(), place.height());
    if (auto* label = qobject_cast<QLabel*>(control)) {
      QCOMPARE(label->text(), caption);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      QCOMPARE(button->text(), caption);
    }
  }

  void WindowStartsOnTheFilesPage() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Tessarin 0.01"));
    // The controls' area keeps its designed size under the menu bar.
    QCOMPARE(Find<QWidget>("Client")->geometry(),
             QRect(QPoint(0, MenuBarHeight()), QSize(540, 382)));
    QCOMPARE(window_->size(), QSize(540, 382 + MenuBarHeight()));
    QCOMPARE(window_->pos(), QPoint(0, 0));
    auto* pages = Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->count(), 2);
    QCOMPARE(pages->tabText(0), QStringLiteral("Files"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Seq Annotation"));
    QCOMPARE(pages->widget(0), Find<QWidget>("TabSheet1"));
    QCOMPARE(pages->widget(1), Find<QWidget>("TabSheet2"));
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(Find<QListWidget>("CheckListBox1")->count(), 0);
    QVERIFY(Find<QComboBox>("ComboBox1")->isEditable());
    QCOMPARE(Find<QComboBox>("ComboBox1")->count(), 0);
    QCOMPARE(Find<QLineEdit>("Edit1")->text(), QString());
    QCOMPARE(window_->Data().View().LineCount(), std::size_t{0});
  }

  // What a person reads: no label runs into its neighbour, the cut-off field
  // shows eight characters whole, and the window cannot shrink below that.
  void FilesAndAnnotationPagesAreReadable() {
    QCOMPARE(QFontInfo(window_->font()).family(), QStringLiteral("Tahoma"));
    for (const char* label : {"Label1", "Label2", "Label3"}) {
      QVERIFY2(
          Find<QLabel>(label)->geometry().right() < Find<QLabel>("Label4")->x(),
          label);
    }
    auto* edit = Find<QLineEdit>("Edit1");
    edit->setText(QStringLiteral("-123.456"));
    edit->end(false);
    // Scrolled, the field would show a later character at its left end.
    QCOMPARE(edit->cursorPositionAt(QPoint(3, edit->height() / 2)), 0);
    QCOMPARE(window_->minimumSize(), window_->size());
    // The pictures of docs/ (run under Xvfb with TESSARIN_SCREENSHOTS set to
    // a folder).
    const QString shots = qEnvironmentVariable("TESSARIN_SCREENSHOTS");
    if (shots.isEmpty()) return;
    ReadIn();
    Find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    QVERIFY(window_->grab().save(shots + "/window-files.png"));
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QVERIFY(window_->grab().save(shots + "/window-annotation.png"));
    // The example, annotated and scrolled sideways: the names stay.
    ChooseFiles(ExamplePath("promoter.fas"), ExamplePath("promoter.cons"),
                ExamplePath("promoter.tf"));
    Click("Button1");
    Click("Button3");
    View().horizontalScrollBar()->setValue(60);
    QVERIFY(window_->grab().save(shots + "/window-scrolled.png"));
  }

  void FontsAndDialogsAreSetUp() {
    QCOMPARE(window_->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(window_->font().pixelSize(), 11);
    QCOMPARE(Find<QPushButton>("Button2")->font().pixelSize(), 9);
    for (const char* bold : {"Button1", "Button7", "Button3"}) {
      QVERIFY2(Find<QPushButton>(bold)->font().bold(), bold);
    }
    QVERIFY(!Find<QPushButton>("Button4")->font().bold());
    const QFont view_font = Find<RichViewWidget>("RE1")->font();
    QCOMPARE(view_font.family(), QStringLiteral("Courier New"));
    QCOMPARE(view_font.pixelSize(), 15);
    QVERIFY(QFontInfo(view_font).fixedPitch());
    auto* open = Find<QFileDialog>("OpenDialog1");
    auto* save = Find<QFileDialog>("SaveDialog1");
    QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save->defaultSuffix(), QString());
  }

  void ControlsFollowTheirAnchors() {
    ReadIn();
    Click("Button3");  // a status text longer than the first "."
    auto* status = Find<QLabel>("Label7");
    const int status_width = status->width();
    QVERIFY(status_width > status->fontMetrics().horizontalAdvance("."));
    window_->resize(800, 600 + MenuBarHeight());  // 260 wider, 218 taller
    QTRY_COMPARE(Find<QWidget>("PageControl1")->geometry(),
                 QRect(8, 4, 784, 121));
    QCOMPARE(Find<QWidget>("RE1")->geometry(), QRect(8, 127, 784, 452));
    QCOMPARE(status->pos(), QPoint(8, 585));
    QCOMPARE(status->width(), status_width);
    QCOMPARE(Find<QWidget>("Button2")->geometry(), QRect(764, 4, 28, 12));
    QCOMPARE(Find<QWidget>("Button8")->geometry(), QRect(391, 24, 50, 21));
    window_->resize(540, 382 + MenuBarHeight());
    QTRY_COMPARE(Find<QWidget>("RE1")->geometry(), QRect(8, 127, 524, 234));
    QCOMPARE(status->pos(), QPoint(8, 367));
  }

  void AboutShowsNameVersionRightsAndContact() {
    Click("Button2");
    QCOMPARE(boxes_->texts.size(), std::size_t{1});
    const QStringList lines =
        QString::fromStdString(boxes_->texts[0]).split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Tessarin 0.01"));
  }

  // --- Commands, state by state ------------------------------------------

  void CommandsBeforeReadingIn() {
    Click("Button1");
    QCOMPARE(Page(), 0);
    Click("Button3");
    TypeInto(Find<QWidget>("Edit1"), "abc");
    Click("Button8");
    QCOMPARE(boxes_->texts,
             (Texts{"Missing file(s)!", "No data loaded!", "Not a number"}));
    QCOMPARE(Find<QLineEdit>("Edit1")->text(), QStringLiteral("abc"));
    // A number is accepted, but no score is chosen: nothing is stored.
    TypeInto(Find<QWidget>("Edit1"), "0.5");
    Click("Button8");
    QCOMPARE(boxes_->texts.size(), std::size_t{3});
    QVERIFY(window_->Data().Conservation().Cutoffs.empty());
    QCOMPARE(Find<QListWidget>("CheckListBox1")->count(), 0);
    QCOMPARE(Find<QComboBox>("ComboBox1")->count(), 0);
    // The inspector is silent.
    Click(ViewPoint(0, 3));
    QCOMPARE(Label("Label7"), QStringLiteral("."));
    QVERIFY(!window_->Data().Loaded());
  }

  void ReadInFilesNeedsAllThreeFiles() {
    dialogs_->open_answers = {Write("a.fas", kFasta),
                              Write("a.cons", kConservation)};
    Click("Button4");
    Click("Button5");
    Click("Button1");
    QCOMPARE(boxes_->texts, (Texts{"Missing file(s)!"}));
    QCOMPARE(Page(), 0);
    QVERIFY(!window_->Data().Loaded());
  }

  void FileButtonsStoreExistingFilesOnly() {
    const std::string fas = Write("a.fas", kFasta);
    dialogs_->open_answers = {fas, std::string("/no/such/file"),
                              QFile::encodeName(dir_->path()).toStdString(),
                              std::nullopt};
    Click("Button4");
    Click("Button5");
    Click("Button6");
    Click("Button6");  // cancelled
    QCOMPARE(dialogs_->open_asked, 4);
    QCOMPARE(Label("Label4"), QString::fromStdString(fas));
    QCOMPARE(window_->Data().Path(FileSlot::kFas), fas);
    QCOMPARE(Label("Label5"), QStringLiteral("..."));
    QCOMPARE(Label("Label6"), QStringLiteral("..."));
    QCOMPARE(window_->Data().Path(FileSlot::kTf), std::string());
    QCOMPARE(boxes_->texts,
             (Texts{"No such file: /no/such/file",
                    "No such file: " +
                        QFile::encodeName(dir_->path()).toStdString()}));
    // A path given on the command line goes the same way.
    const std::string tf = Write("a.tf", kTf);
    window_->ChooseFile(FileSlot::kTf, tf);
    QCOMPARE(Label("Label6"), QString::fromStdString(tf));
  }

  void ReadInFilesListsSequencesAndFillsTheLists() {
    ReadIn();
    QCOMPARE(boxes_->texts, Texts{});
    QCOMPARE(Page(), 1);
    QCOMPARE(ViewLines(), (Texts{kListing[0], kListing[1]}));
    QVERIFY(UsedAttributeIds(window_->Data().View()).empty());
    auto* criteria = Find<QListWidget>("CheckListBox1");
    QCOMPARE(criteria->count(), 2);
    QCOMPARE(criteria->item(0)->text(), QStringLiteral("ML"));
    QCOMPARE(criteria->item(1)->text(), QStringLiteral("PI"));
    QCOMPARE(criteria->item(0)->checkState(), Qt::Checked);
    QCOMPARE(criteria->item(1)->checkState(), Qt::Checked);
    auto* chooser = Find<QComboBox>("ComboBox1");
    QCOMPARE(chooser->count(), 2);
    QCOMPARE(chooser->itemText(1), QStringLiteral("PI"));
    QCOMPARE(chooser->currentText(), QStringLiteral("ML"));
    QCOMPARE(Label("Edit1"), QStringLiteral("0.500"));
    // Reading in does not touch the status label, and the inspector is
    // silent on the listing.
    Drag(0, 18, 21);
    QCOMPARE(Label("Label7"), QStringLiteral("."));
  }

  void ReadInFilesAgainResetsCriteriaCutoffsAndListing() {
    ReadIn();
    ToggleCriterion(0);
    QCOMPARE(window_->Data().Criteria(), AByte({0, 1}));
    TypeInto(Find<QWidget>("Edit1"), "0.125");
    Click("Button8");
    QCOMPARE(Label("Edit1"), QStringLiteral("0.125"));
    // A changed path takes effect at the next reading in.
    dialogs_->open_answers = {Write("b.fas", ">human\nAC-GTTA\n")};
    Click("Button4");
    QCOMPARE(ViewLines(), (Texts{kListing[0], kListing[1]}));
    Click("Button1");
    QCOMPARE(ViewLines(), (Texts{"human> \tAC-GTTA"}));
    QCOMPARE(window_->Data().Criteria(), AByte({1, 1}));
    QCOMPARE(Find<QListWidget>("CheckListBox1")->item(0)->checkState(),
             Qt::Checked);
    QCOMPARE(Label("Edit1"), QStringLiteral("0.500"));
    QCOMPARE(window_->Data().Conservation().Cutoffs[0], 0.5L);
  }

  void ImportSitesAndComputeConservationAddToWhatWasReadIn() {
    const std::string sites = Write("s.bed", "chimpanzee\t0\t2\tB\t0\t-\n");
    dialogs_->open_answers = {sites};
    questions_->answer = ParseWindowSettings("3:3");
    Click("ImportSitesButton");
    Click("ComputeConservationButton");
    QCOMPARE(boxes_->texts, (Texts{"No data loaded!", "No data loaded!"}));
    boxes_->texts.clear();
    ReadIn();
    dialogs_->open_answers = {sites};
    Click("ImportSitesButton");
    QCOMPARE(window_->Data().TfDefinitions().size(), std::size_t{2});
    questions_->answer->reference = "human";
    Click("ComputeConservationButton");
    QCOMPARE(questions_->offered, (Texts{"human", "chimpanzee"}));
    auto* criteria = Find<QListWidget>("CheckListBox1");
    QCOMPARE(criteria->count(), 2);
    QCOMPARE(criteria->item(0)->text(), QStringLiteral("DIFF_chimpanzee"));
    QCOMPARE(Label("Edit1"), QStringLiteral("30.000"));
    Click("Button3");
    QCOMPARE(boxes_->texts, Texts{});
    QCOMPARE(ViewLines()[2], std::string("chimpanzee> \tACGGT-A"));
    QCOMPARE(ViewLines()[3], std::string("chimpanzee> \tB......"));
    QCOMPARE(YellowColumns(0), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  }

  void CriteriaAndCutoffsReachTheViewAtTheNextAnnotate() {
    ReadIn();
    Click("Button3");
    QCOMPARE(YellowColumns(0), (std::vector<int>{1, 2, 3}));
    ToggleCriterion(0);  // ML no longer counts
    QCOMPARE(window_->Data().Criteria(), AByte({0, 1}));
    QCOMPARE(YellowColumns(0), (std::vector<int>{1, 2, 3}));
    Click("Button3");
    QCOMPARE(YellowColumns(0), (std::vector<int>{1, 2, 3, 4, 5, 6}));

    Choose(1);
    QCOMPARE(Label("Edit1"), QStringLiteral("0.250"));
    TypeInto(Find<QWidget>("Edit1"), "0.05");
    Click("Button8");
    QCOMPARE(Label("Edit1"), QStringLiteral("0.050"));
    QCOMPARE(window_->Data().Conservation().Cutoffs[1], 0.05L);
    QCOMPARE(YellowColumns(0), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    Click("Button3");
    QCOMPARE(YellowColumns(0), std::vector<int>{});
    // The chooser shows the stored value, not the file's.
    Choose(0);
    QCOMPARE(Label("Edit1"), QStringLiteral("0.500"));
    Choose(1);
    QCOMPARE(Label("Edit1"), QStringLiteral("0.050"));
    QCOMPARE(boxes_->texts, Texts{});
  }

  void CutoffFieldFollowsTheRealRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // empty: refused
    QTest::newRow("exponent") << "1e-2"
                              << "0.010";
    QTest::newRow("no integer part") << ".5"
                                     << "0.500";
    QTest::newRow("no fraction") << "5."
                                 << "5.000";
    QTest::newRow("leading blanks") << "  0.5"
                                    << "0.500";
    QTest::newRow("comma") << "0,5"
                           << "";
    QTest::newRow("trailing blank") << "0.5 "
                                    << "";
    QTest::newRow("letters") << "abc"
                             << "";
    QTest::newRow("lone minus") << "-"
                                << "";
    QTest::newRow("empty") << ""
                           << "";
  }
  void CutoffFieldFollowsTheRealRule() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ReadIn();
    Choose(1);
    TypeInto(Find<QWidget>("Edit1"), typed);
    Click("Button8");
    if (shown.isEmpty()) {
      QCOMPARE(boxes_->texts, (Texts{"Not a number"}));
      QCOMPARE(Label("Edit1"), typed);
      QCOMPARE(window_->Data().Conservation().Cutoffs[1], 0.25L);
    } else {
      QCOMPARE(boxes_->texts, Texts{});
      QCOMPARE(Label("Edit1"), shown);
    }
    QCOMPARE(window_->Data().Conservation().Cutoffs[0], 0.5L);
  }

  void ChooserTextNamingNoScoreChoosesNone() {
    ReadIn();
    TypeInto(Find<QWidget>("ComboBox1"), "XYZ");
    QCOMPARE(Label("Edit1"), QString());
    TypeInto(Find<QWidget>("Edit1"), "0.1");
    Click("Button8");
    QCOMPARE(boxes_->texts, Texts{});
    QCOMPARE(window_->Data().Conservation().Cutoffs[0], 0.5L);
    QCOMPARE(window_->Data().Conservation().Cutoffs[1], 0.25L);
    TypeInto(Find<QWidget>("ComboBox1"), "PI");
    QCOMPARE(Label("Edit1"), QStringLiteral("0.250"));
  }

  void AnnotateTwiceGivesTheSameView() {
    ReadIn();
    Click("Button3");
    QCOMPARE(ViewLines(),
             (Texts{kListing[0], "human> \t.S1....", kListing[1]}));
    const auto first = ViewAttributes();
    Click("Button3");
    QCOMPARE(ViewLines(),
             (Texts{kListing[0], "human> \t.S1....", kListing[1]}));
    QVERIFY(ViewAttributes() == first);
    QCOMPARE(Label("Label7"),
             QStringLiteral("Conservation plotting completed."));
    QCOMPARE(boxes_->texts, Texts{});
  }

  void AnnotateShowsItsProgressWhileItRuns() {
    ReadIn();
    PaintRecorder recorder;
    Find<QLabel>("Label7")->installEventFilter(&recorder);
    Click("Button3");
    QVERIFY(recorder.painted.contains(
        QStringLiteral("TF binding site annotation completed.")));
    QCOMPARE(recorder.painted.last(),
             QStringLiteral("Conservation plotting completed."));
  }

  void LongStepsShowTheWaitCursorAndAStepText_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("Read in Files")
        << "Button1"
        << QStringList{
               "Reading the alignment...",         "Reading the TF file...",
               "Reading the conservation file...", "Listing the sequences...",
               "Laying out the view...",           "view"};
    QTest::newRow("Annotate")
        << "Button3"
        << QStringList{"Annotating binding sites...",
                       "TF binding site annotation completed.",
                       "Conservation plotting completed.",
                       "Laying out the view...", "view"};
  }
  void LongStepsShowTheWaitCursorAndAStepText() {
    QFETCH(QString, button);
    QFETCH(QStringList, steps);
    ReadIn();
    PaintRecorder recorder;
    Find<QLabel>("Label7")->installEventFilter(&recorder);
    QWidget* viewport = Find<RichViewWidget>("RE1")->viewport();
    viewport->setObjectName(QStringLiteral("view"));
    viewport->installEventFilter(&recorder);
    Click(button.toLatin1().constData());
    viewport->removeEventFilter(&recorder);
    for (const QString& step : steps) {
      QVERIFY2(recorder.painted_busy.contains(step), qPrintable(step));
    }
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(recorder.painted.last(),
             button == "Button1" ? QStringLiteral(".")
                                 : steps[2]);  // the command's own status
  }

  // Names, values and paths with markup: each label shows the bytes as they
  // are, one line high, never a heading, a colour or a picture.
  void DataIsShownAsPlainText() {
    const std::string markup =
        "<h1>HUGE</h1><font color=red size=7>RED</font><img "
        "src=/some/local.png>";
    const std::string name = "<img src=\"/some/local.png\"><h1>X</h1>";
    // A folder "<h1>F<" holding "h1>.fas": the path ends in "<h1>F</h1>.fas".
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("<h1>F<")));
    const std::string fas = Write("<h1>F</h1>.fas", ">" + name + "\nACGT\n");
    const std::string missing = fas + "<b>gone</b>";
    dialogs_->open_answers = {fas, missing};
    Click("Button4");
    Click("Button5");
    ChooseFiles(fas, Write("a.cons", kConservation),
                Write("a.tf", "[TF]\nName = F1\nMatchType = " + markup +
                                  "\n[[TABLE]]\nhuman 2 S1 CG\n*\n"));
    Click("Button1");
    Click("Button3");
    auto* view = Find<RichViewWidget>("RE1");
    Click(ViewPoint(0, 0));
    QTest::keyClick(view, Qt::Key_End);
    QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(boxes_->texts.size(), std::size_t{2});
    QCOMPARE(boxes_->texts[0], "No such file: " + missing);
    QVERIFY(boxes_->texts[1].find("<h1>HUGE</h1>") != std::string::npos);
    QCOMPARE(Label("Label4"), QString::fromStdString(fas));
    QCOMPARE(Label("Label7").toStdString(),
             name + ": +Gaps: Pos=4 L=1 -Gaps: Pos=4 L=1 >T");
    for (QLabel* label : window_->findChildren<QLabel*>(
             QRegularExpression(QStringLiteral("^Label[0-9]$")))) {
      QCOMPARE(label->textFormat(), Qt::PlainText);
      QVERIFY2(label->height() < 2 * label->fontMetrics().lineSpacing(),
               qPrintable(label->objectName()));
    }
  }

  // A handler that fails (here its dialog) shows the failure in a box and
  // the window goes on.
  void AFailingHandlerIsShownAndTheWindowGoesOn_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("out_of_memory");
    QTest::addColumn<QString>("shown");
    QTest::newRow("open dialog out of memory")
        << "Button4" << true << "Out of memory";
    QTest::newRow("save dialog fails") << "Button7" << false << "no dialog";
  }
  void AFailingHandlerIsShownAndTheWindowGoesOn() {
    QFETCH(QString, button);
    QFETCH(bool, out_of_memory);
    QFETCH(QString, shown);
    dialogs_->failure =
        out_of_memory
            ? std::make_exception_ptr(std::bad_alloc())
            : std::make_exception_ptr(std::runtime_error("no dialog"));
    Click(button.toLatin1().constData());
    QCOMPARE(boxes_->texts, (Texts{shown.toStdString()}));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    ReadIn();
    Click("Button3");
    QCOMPARE(ViewLines(),
             (Texts{kListing[0], "human> \t.S1....", kListing[1]}));
    QCOMPARE(boxes_->texts.size(), std::size_t{1});
  }

  void SaveRtfWritesTheViewInEveryState() {
    const std::string path = Write("view.rtf", "old content");
    SaveAndCompare(path);  // the empty view
    ReadIn();
    SaveAndCompare(path);  // the listing
    Click("Button3");
    SaveAndCompare(path);  // the annotated view
    QVERIFY(ReadFile(path).find("S1") != std::string::npos);
    // Cancel writes nothing.
    const std::string before = ReadFile(path);
    Click("Button7");
    QCOMPARE(ReadFile(path), before);
    QCOMPARE(boxes_->texts, Texts{});
  }

  void FailedSaveKeepsTheOldFileAndShowsTheReason() {
    ReadIn();
    const std::string kept = Write("kept.rtf", "old content");
    dialogs_->save_answers = {kept + "/view.rtf"};
    Click("Button7");
    QCOMPARE(boxes_->texts.size(), std::size_t{1});
    QVERIFY2(boxes_->texts[0].find("Not a directory") != std::string::npos,
             boxes_->texts[0].c_str());
    QCOMPARE(ReadFile(kept), std::string("old content"));

    if (::geteuid() == 0) QSKIP("root may write into any folder");
    QVERIFY(QFile::setPermissions(
        dir_->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    dialogs_->save_answers = {kept};
    Click("Button7");
    QVERIFY(QFile::setPermissions(dir_->path(), QFileDevice::ReadOwner |
                                                    QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner));
    QCOMPARE(boxes_->texts.size(), std::size_t{2});
    QVERIFY2(boxes_->texts[1].find("Permission denied") != std::string::npos,
             boxes_->texts[1].c_str());
    QCOMPARE(ReadFile(kept), std::string("old content"));
  }

  // Export Figure writes what the workspace's own figure command writes for
  // the options given, in the format of the typed extension or else of the
  // chosen filter.
  void ExportFigureWritesTheFigure_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<DocumentFormat>("filter");
    QTest::addColumn<int>("wrap");
    QTest::addColumn<QString>("title");  // empty: the FASTA file's name
    QTest::addColumn<bool>("rule_palette");
    QTest::addColumn<DocumentFormat>("format");  // the format expected
    using F = DocumentFormat;
    QTest::newRow("rtf") << "fig.rtf" << F::kRtf << 60 << "Promoter <&> 1"
                         << false << F::kRtf;
    QTest::newRow("html") << "fig.html" << F::kHtml << 25 << "" << true
                          << F::kHtml;
    QTest::newRow("typed htm under the RTF filter")
        << "fig.htm" << F::kRtf << 1000 << "Sites htm" << false << F::kHtml;
    QTest::newRow("typed RTF under the HTML filter")
        << "fig.RTF" << F::kHtml << 10 << "Sites RTF" << true << F::kRtf;
    QTest::newRow("no extension: the filter's")
        << "figure" << F::kHtml << 60 << "Sites" << false << F::kHtml;
    QTest::newRow("pdf") << "fig.pdf" << F::kPdf << 60 << "" << false
                         << F::kPdf;
    QTest::newRow("svg") << "fig.svg" << F::kSvg << 40 << "Sites svg" << false
                         << F::kSvg;
    QTest::newRow("typed png under the PDF filter")
        << "fig.png" << F::kPdf << 60 << "" << true << F::kPng;
    QTest::newRow("no extension: the SVG filter")
        << "figure" << F::kSvg << 60 << "" << false << F::kSvg;
  }
  void ExportFigureWritesTheFigure() {
    QFETCH(QString, name);
    QFETCH(DocumentFormat, filter);
    QFETCH(int, wrap);
    QFETCH(QString, title);
    QFETCH(bool, rule_palette);
    QFETCH(DocumentFormat, format);
    const FixedDocumentDate fixed_date;
    const std::string fas = ExamplePath("promoter.fas");
    const std::string cons = ExamplePath("promoter.cons");
    const std::string tf = ExamplePath("promoter.tf");
    ChooseFiles(fas, cons, tf);
    Click("Button1");
    Click("Button3");
    const FigureOptions options{
        static_cast<std::size_t>(wrap),
        title.toStdString(),
        rule_palette ? Palette::kColorRule : Palette::kDistinct,
        true,
        {}};
    const std::string path = dir_->filePath(name).toStdString();
    figures_->options = options;
    figures_->file = FigureFile{path, filter};
    Click("ExportFigureButton");

    NullSink quiet;
    Workspace expected(quiet);
    QtFigureRenderer renderer;
    expected.SetFigureRenderer(&renderer);
    expected.SetPath(FileSlot::kFas, fas);
    expected.SetPath(FileSlot::kConservation, cons);
    expected.SetPath(FileSlot::kTf, tf);
    QVERIFY(expected.ReadInFiles() && expected.Annotate());
    std::ostringstream figure;
    QVERIFY(expected.WriteFigure(figure, format, options));

    QCOMPARE(boxes_->texts, Texts{});
    QCOMPARE(figures_->offered_title, std::string("promoter.fas"));
    const std::string written = ReadFile(path);
    static const std::map<DocumentFormat, std::string> kStarts = {
        {DocumentFormat::kRtf, "{\\rtf1"},
        {DocumentFormat::kHtml, "<!DOCTYPE html>"},
        {DocumentFormat::kPdf, "%PDF-"},
        {DocumentFormat::kSvg, "<?xml"},
        {DocumentFormat::kPng, "\x89PNG"}};
    QVERIFY(written.starts_with(kStarts.at(format)));
    const std::string shown =
        title.isEmpty() ? "promoter.fas" : title.toStdString();
    if (format != DocumentFormat::kPng && format != DocumentFormat::kPdf) {
      QVERIFY(written.find(shown) != std::string::npos);
    }
    QVERIFY(written == figure.str());
  }

  // Print Figure hands the figure of the options given to the printer;
  // Export View writes a PNG of the view's visible part.
  void PrintFigureAndExportView() {
    ChooseFiles(ExamplePath("promoter.fas"), ExamplePath("promoter.cons"),
                ExamplePath("promoter.tf"));
    Click("Button1");
    Click("Button3");
    FigureOptions options;
    options.wrap = 100;
    options.title = "Printed";
    figures_->options = options;
    Click("PrintFigureButton");
    QCOMPARE(figures_->printed_title, std::string("Printed"));
    QCOMPARE(figures_->printed_blocks, std::size_t{3});  // 241 columns

    const std::string path = dir_->filePath("view.png").toStdString();
    figures_->picture = path;
    Click("ExportViewButton");
    QCOMPARE(boxes_->texts, Texts{});
    QImage picture;
    QVERIFY(picture.load(QString::fromStdString(path), "PNG"));
    const QWidget* viewport =
        window_->findChild<QAbstractScrollArea*>("RE1")->viewport();
    QCOMPARE(picture.size(), viewport->size() * viewport->devicePixelRatioF());
  }

  void ExportFigureCancelledOrWithoutDataWritesNothing() {
    const std::string path = dir_->filePath("fig.rtf").toStdString();
    figures_->options = FigureOptions{};
    figures_->file = FigureFile{path, DocumentFormat::kRtf};
    Click("ExportFigureButton");
    QCOMPARE(boxes_->texts, (Texts{"No data loaded!"}));
    QCOMPARE(figures_->asked, 0);  // nothing asked when nothing can be drawn
    ReadIn();
    Click("Button3");
    figures_->options.reset();
    Click("ExportFigureButton");  // options cancelled
    QCOMPARE(figures_->asked, 1);
    figures_->options = FigureOptions{};
    figures_->file.reset();
    Click("ExportFigureButton");  // file cancelled
    QCOMPARE(figures_->asked, 3);
    QVERIFY(!QFile::exists(QString::fromStdString(path)));
    QCOMPARE(boxes_->texts.size(), std::size_t{1});
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
  }

  // --- The selection inspector --------------------------------------------

  void PlotFollowsTheViewSidewaysAndAClickScrollsIt() {
    ReadIn();
    Click("Button3");
    Click("PlotButton");
    auto* plot = Find<PlotPanel>("PlotPanel");
    auto* view = Find<RichViewWidget>("RE1");
    QVERIFY(plot->isVisible());
    // Above the rows: the column ruler, and the plot above it.
    auto* ruler = Find<QWidget>("Ruler1");
    QCOMPARE(plot->y() + plot->height(), ruler->y());
    QCOMPARE(ruler->y() + ruler->height(), view->viewport()->y());
    QCOMPARE(plot->FirstVisibleColumn(), std::uint64_t{1});
    // Windows 1-3 (ML 0.1) and 4-6 (ML 0.9); ML's cut-off is 0.5.
    QCOMPARE(plot->HoverText(5), std::string("Column 5\nML: 0.900\nPI: 0.100"));
    view->horizontalScrollBar()->setMaximum(100);  // room to scroll
    const int tab_stop = static_cast<int>(view->FirstTabStop());
    view->horizontalScrollBar()->setValue(tab_stop + 2);
    QCOMPARE(plot->FirstVisibleColumn(), std::uint64_t{3});
    QCOMPARE(view->ColumnX(3), 0);
    // A click on column 3 brings it a third of the way across, which for
    // so short an alignment is the start.
    QTest::mouseClick(plot, Qt::LeftButton, {},
                      QPoint(view->ColumnX(3) + 1, 5));
    QCOMPARE(view->horizontalScrollBar()->value(), 0);
    QCOMPARE(plot->FirstVisibleColumn(), std::uint64_t{1});
    Click("PlotButton");
    QVERIFY(!plot->isVisible());
    QCOMPARE(view->HeaderHeight(), 0);
  }

  void SitesPanelRowSelectsItsSiteAndSavesTheReport() {
    ReadIn();
    Click("Button3");
    auto* table = Find<QTableView>("SitesTable");
    QCOMPARE(table->model()->rowCount(), 0);  // hidden: not built yet
    Click("SitesButton");
    QCOMPARE(table->model()->rowCount(), 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    // The site CG at human's positions 2 and 3: columns 2 to 4.
    QCOMPARE(Label("Label7"),
             QStringLiteral("human: +Gaps: Pos=2 L=3 -Gaps: Pos=2 L=2 >CG"));
    const std::string path = dir_->filePath("sites.json").toStdString();
    dialogs_->save_answers = {path};
    Click("SaveReportButton");
    QVERIFY(ReadFile(path).find("\"factor\":\"F1\",\"sequence\":\"human\"") !=
            std::string::npos);
    Click("Button1");  // the view is rewritten: its sites are gone
    QCOMPARE(table->model()->rowCount(), 0);
    QCOMPARE(boxes_->texts, Texts{});
  }

  void InspectorReportsTheSelectionMadeInTheView() {
    ReadIn();
    Click("Button3");
    // human's columns start at the shared tab stop, cell 16: columns 3 to 5
    // are cells 18 to 20.
    Drag(0, 18, 21);
    QCOMPARE(Label("Label7"), QString::fromLatin1(kHumanColumns3To5));
    Click(ViewPoint(0, 5));  // a caret clears the label
    QCOMPARE(Label("Label7"), QString());
    Drag(0, 21, 18);  // leftwards: the lower end starts the selection
    QCOMPARE(Label("Label7"), QString::fromLatin1(kHumanColumns3To5));
    // The same columns on a row with a longer name.
    Drag(2, 18, 21);
    QCOMPARE(
        Label("Label7"),
        QStringLiteral("chimpanzee: +Gaps: Pos=3 L=3 -Gaps: Pos=3 L=3 >GGT"));
    // Extended up, the selection starts on human's track: no report.
    auto* view = Find<RichViewWidget>("RE1");
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(
        Label("Label7"),
        QStringLiteral("chimpanzee: +Gaps: Pos=3 L=3 -Gaps: Pos=3 L=3 >GGT"));
    // Up once more it starts on human's column 6 and covers the rest of the
    // row only.
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(Label("Label7"),
             QStringLiteral("human: +Gaps: Pos=6 L=2 -Gaps: Pos=4 L=1 >A"));
    // Starting in the name: no report either.
    QTest::keyClick(view, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(Label("Label7"),
             QStringLiteral("human: +Gaps: Pos=6 L=2 -Gaps: Pos=4 L=1 >A"));
    // A drag begins with a caret, which clears the label.
    Drag(1, 17, 19);
    QCOMPARE(Label("Label7"), QString());
  }

  void InspectorFollowsTheKeyboard() {
    ReadIn();
    Click("Button3");
    auto* view = Find<RichViewWidget>("RE1");
    Click(ViewPoint(0, 19));  // before column 4
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(Label("Label7"),
             QStringLiteral("human: +Gaps: Pos=4 L=2 -Gaps: Pos=3 L=2 >GT"));
    // Down into the track row: the selection now starts on the sequence row
    // and runs on, covering the rest of the row only.
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(Label("Label7"),
             QStringLiteral("human: +Gaps: Pos=4 L=4 -Gaps: Pos=3 L=3 >GTA"));
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(Label("Label7"), QString());
  }

  void InspectorIsSilentAgainAfterReadingIn() {
    ReadIn();
    Click("Button3");
    Drag(0, 18, 21);
    Click("Button1");
    QCOMPARE(ViewLines(), (Texts{kListing[0], kListing[1]}));
    Drag(1, 18, 20);
    Click(ViewPoint(0, 3));
    QCOMPARE(Label("Label7"), QString::fromLatin1(kHumanColumns3To5));
  }

  // --- Messages ------------------------------------------------------------

  void RepeatedMessagesShowOnceWithTheirCount() {
    // Three sites at a position human does not have: each misses the lookup
    // of its first and of its last column.
    ChooseFiles(Write("a.fas", kFasta), Write("a.cons", kConservation),
                Write("a.tf",
                      "[TF]\nName = F1\nMatchType = direct\n[[TABLE]]\n"
                      "human 100 X1 AC\nhuman 100 X2 AC\nhuman 100 X3 AC\n"
                      "human 2 S1 CG\n*\n"));
    Click("Button1");
    QCOMPARE(boxes_->texts, Texts{});
    Click("Button3");
    QCOMPARE(boxes_->texts, (Texts{std::string(kGaplessValueNotFound) +
                                   "\n(reported 6 times)"}));
    QCOMPARE(window_->Data().Messages().size(), std::size_t{6});
    // The annotation went on: the placeable site is there.
    QCOMPARE(ViewLines()[1], std::string("human> \t.S1...."));
  }

  void ScoresWithoutCutoffsAreListedButNeverIndexed() {
    // The conservation reading stops after the names: no cut-offs.
    ChooseFiles(
        Write("a.fas", kFasta),
        Write("a.cons", "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = x\n"),
        Write("a.tf", kTf));
    TypeInto(Find<QWidget>("Edit1"), "7");
    Click("Button1");
    QCOMPARE(boxes_->texts,
             (Texts{"Cannot interpret NSummaryStats as value: x"}));
    QCOMPARE(Find<QListWidget>("CheckListBox1")->count(), 2);
    QCOMPARE(Label("Edit1"), QString());
    Choose(1);
    TypeInto(Find<QWidget>("Edit1"), "0.5");
    Click("Button8");
    Click("Button3");
    QCOMPARE(boxes_->texts.size(), std::size_t{1});
    QVERIFY(window_->Data().Conservation().Cutoffs.empty());
    QCOMPARE(YellowColumns(0), std::vector<int>{});
  }

  void ReadingInProblemsAreShownOnceAndAnnotateIsRefused() {
    ChooseFiles(Write("a.fas", ">human\nACG\n>mouse\nAC\n"),
                Write("a.cons", kConservation), Write("a.tf", kTf));
    Click("Button1");
    QCOMPARE(boxes_->texts, (Texts{std::string(kNoProperAlignment)}));
    QCOMPARE(Page(), 1);
    QCOMPARE(ViewLines(), (Texts{"human> \tACG", "mouse> \tAC"}));
    Click("Button3");
    QCOMPARE(boxes_->texts.size(), std::size_t{2});
    QCOMPARE(boxes_->texts[1], std::string(kNoProperAlignment));
    QCOMPARE(ViewLines(), (Texts{"human> \tACG", "mouse> \tAC"}));
  }

  // --- Menus, keys and dropped files -------------------------------------

  void EveryMenuActionAndShortcutReachesItsHandler() {
    ReadIn();
    auto* pages = Find<QTabWidget>("PageControl1");
    const auto no_change = [] {};
    struct Row {
      const char* action;
      QKeySequence keys;  // empty: the menu item alone
      std::function<void()> prepare;
      std::function<int()> probe;  // changes when the handler ran
    };
    const std::vector<Row> rows = {
        {"ActionSetFas", QKeySequence("Ctrl+O"), no_change,
         [&] { return dialogs_->open_asked; }},
        {"ActionSetConservation",
         {},
         no_change,
         [&] { return dialogs_->open_asked; }},
        {"ActionSetTf", {}, no_change, [&] { return dialogs_->open_asked; }},
        {"ActionReadIn",
         {},
         [&] { pages->setCurrentIndex(0); },
         [&] { return pages->currentIndex(); }},
        {"ActionImportSites",
         {},
         no_change,
         [&] { return dialogs_->open_asked; }},
        {"ActionComputeConservation",
         {},
         [&] { questions_->offered.clear(); },
         [&] { return static_cast<int>(questions_->offered.size()); }},
        {"ActionSaveRtf", QKeySequence("Ctrl+S"), no_change,
         [&] { return dialogs_->save_asked; }},
        {"ActionExportFigure", QKeySequence("Ctrl+E"), no_change,
         [&] { return figures_->asked; }},
        {"ActionSaveReport",
         {},
         no_change,
         [&] { return static_cast<int>(boxes_->texts.size()); }},
        {"ActionPrint", QKeySequence("Ctrl+P"), no_change,
         [&] { return figures_->asked; }},
        {"ActionSelectAll", QKeySequence("Ctrl+A"),
         [&] { Click(ViewPoint(0, 1)); },
         [&] { return static_cast<int>(View().SelectedText().size()); }},
        {"ActionCopy", QKeySequence("Ctrl+C"),
         [] { QGuiApplication::clipboard()->clear(); },
         [] {
           return static_cast<int>(QGuiApplication::clipboard()->text().size());
         }},
        {"ActionPlot",
         {},
         no_change,
         [&] { return int{Find<QPushButton>("PlotButton")->isChecked()}; }},
        {"ActionSites",
         {},
         no_change,
         [&] { return int{Find<QPushButton>("SitesButton")->isChecked()}; }},
        {"ActionLarger", QKeySequence("Ctrl++"), no_change,
         [&] { return View().TextPixels(); }},
        {"ActionSmaller", QKeySequence("Ctrl+-"), no_change,
         [&] { return View().TextPixels(); }},
        {"ActionAbout",
         {},
         no_change,
         [&] { return static_cast<int>(boxes_->texts.size()); }},
        {"ActionQuit", QKeySequence("Ctrl+Q"), no_change,
         [&] { return int{window_->isVisible()}; }},
    };
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    for (const Row& row : rows) {
      auto* action = window_->findChild<QAction*>(row.action);
      QVERIFY2(action != nullptr, row.action);
      // The menu item, then its shortcut, each reach the handler.
      for (const bool by_key : {false, true}) {
        if (by_key && row.keys.isEmpty()) continue;
        if (by_key) QCOMPARE(action->shortcut(), row.keys);
        if (!by_key && row.keys.count() > 0 &&
            row.action == std::string("ActionQuit")) {
          continue;  // quitting once is enough
        }
        row.prepare();
        const int before = row.probe();
        if (by_key) {
          QTest::keySequence(window_.get(), row.keys);
        } else {
          action->trigger();
        }
        QVERIFY2(
            row.probe() != before,
            (std::string(row.action) + (by_key ? " key" : " menu")).c_str());
      }
    }
    QCOMPARE(boxes_->texts.back(), std::string(kAboutText));
  }

  void DroppedFilesAreToldByContentAndReadIn() {
    const std::string fas = Write("one.txt", kFasta);
    const std::string cons = Write("two.txt", kConservation);
    const std::string tf = Write("three.txt", kTf);
    const std::string sites = Write("four", "chimpanzee\t0\t2\tB\t0\t-\n");
    const std::string other = Write("five.txt", "neither\n");
    window_->DropFiles({sites, other, tf, cons, fas});
    QCOMPARE(window_->Data().Path(FileSlot::kFas), fas);
    QCOMPARE(window_->Data().Path(FileSlot::kConservation), cons);
    QCOMPARE(window_->Data().Path(FileSlot::kTf), tf);
    QVERIFY(window_->Data().Loaded());
    QCOMPARE(
        boxes_->texts,
        (Texts{"Not an alignment, TF, conservation or site file: " + other}));
    QCOMPARE(window_->Data().TfDefinitions().size(), std::size_t{2});
  }

 private:
  int MenuBarHeight() const { return Find<QWidget>("MenuBar1")->height(); }

  template <typename Widget>
  Widget* Find(const char* name) const {
    auto* widget = window_->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }

  std::string Write(const char* name, const std::string& content) const {
    return WriteFile(*dir_, QString::fromLatin1(name), content);
  }

  RichViewWidget& View() const { return *Find<RichViewWidget>("RE1"); }
  void Click(const char* name) { ClickButton(Find<QPushButton>(name)); }
  void Click(QPoint point) { ClickAt(View(), point); }
  QPoint ViewPoint(int line, int cell) const {
    return CellPoint(View(), line, cell);
  }
  void Drag(int line, int from_cell, int to_cell) {
    DragAcross(View(), ViewPoint(line, from_cell), ViewPoint(line, to_cell));
  }

  void ChooseFiles(const std::string& fas, const std::string& conservation,
                   const std::string& tf) {
    dialogs_->open_answers = {fas, conservation, tf};
    Click("Button4");
    Click("Button5");
    Click("Button6");
  }
  void ReadIn() {
    ChooseFiles(Write("a.fas", kFasta), Write("a.cons", kConservation),
                Write("a.tf", kTf));
    Click("Button1");
  }

  void Choose(int index) {
    ChooseWithArrows(Find<QComboBox>("ComboBox1"), index);
  }
  void ToggleCriterion(int row) {
    ToggleWithSpace(Find<QListWidget>("CheckListBox1"), row);
  }

  int Page() const { return Find<QTabWidget>("PageControl1")->currentIndex(); }

  QString Label(const char* name) const {
    QWidget* control = Find<QWidget>(name);
    if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
    return qobject_cast<QLabel*>(control)->text();
  }

  Texts ViewLines() const {
    Texts lines;
    const RichView& view = window_->Data().View();
    for (std::size_t i = 0; i < view.LineCount(); ++i) {
      lines.emplace_back(view.Line(i));
    }
    return lines;
  }

  std::vector<CharAttributes> ViewAttributes() const {
    const RichView& view = window_->Data().View();
    std::vector<CharAttributes> attributes;
    for (std::uint64_t i = 0; i < view.TextLength(); ++i) {
      attributes.push_back(view.Attributes(i));
    }
    return attributes;
  }

  // The 1-based columns of view line `line` (a human row: prefix of 8) with
  // the conserved background.
  std::vector<int> YellowColumns(std::size_t line) const {
    const RichView& view = window_->Data().View();
    std::vector<int> columns;
    const std::string_view text = view.Line(line);
    for (std::size_t offset = 8; offset < text.size(); ++offset) {
      const CharAttributes& attributes =
          view.Attributes(view.LineStartOf(line) + offset);
      if (attributes.back == kConservedBackground) {
        columns.push_back(static_cast<int>(offset) - 7);
      }
    }
    return columns;
  }

  // Saves through the dialog and compares the file with the workspace's own
  // rendering of the view.
  void SaveAndCompare(const std::string& path) {
    dialogs_->save_answers = {path};
    Click("Button7");
    std::ostringstream expected;
    window_->Data().Write(expected, DocumentFormat::kRtf);
    QCOMPARE(ReadFile(path), expected.str());
    QVERIFY(ReadFile(path).starts_with("{\\rtf1"));
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedFileDialogs> dialogs_;
  std::unique_ptr<RecordingBoxes> boxes_;
  std::unique_ptr<ScriptedFigureDialogs> figures_;
  std::unique_ptr<ScriptedConservationQuestions> questions_;
  std::unique_ptr<TForm1> window_;
};

}  // namespace

int RunMainWindowTests(int argc, char** argv) {
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace tessarin::testing

#include "main_window_test.moc"
