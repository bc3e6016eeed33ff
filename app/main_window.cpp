#include "app/main_window.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <algorithm>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "app/qt_dialogs.h"
#include "app/rich_view_widget.h"
#include "sources/input_kind.h"
#include "text/readable_file.h"
#include "view/figure_layout.h"
#include "view/provenance.h"

namespace tessarin {

namespace {

// The client area the positions below are designed for.
constexpr QSize kDesignSize(540, 382);
// The width the Sites panel adds to the right of the specified controls.
constexpr int kSitesWidth = 520;
constexpr const char* kWindowFontFamily = "Tahoma";
constexpr int kWindowFontPixels = 11;
constexpr int kAboutFontPixels = 9;
// Height of the one-line text controls.
constexpr int kFieldHeight = 21;
constexpr const char* kNoPath = "...";

QString FromBytes(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(),
                             static_cast<qsizetype>(bytes.size()));
}

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// The window font's metric-compatible face: Wine's Tahoma, which Debian's
// fonts-wine installs outside the desktop's font folders. Registered once;
// without it the desktop's substitute is used.
void RegisterWindowFont() {
  static const bool registered = [] {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf",
                             "/usr/share/wine/fonts/tahomabd.ttf"}) {
      if (QFile::exists(QString::fromLatin1(file))) {
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
      }
    }
    return true;
  }();
  (void)registered;
}

// The widest cut-off text the field must show whole.
constexpr const char* kWidestCutoff = "-123.456";

// The pixels a line edit has for its text: its contents less the margins
// the line edit keeps on either side and one for the cursor.
int TextRoom(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.hasFrame()
                         ? edit.style()->pixelMetric(
                               QStyle::PM_DefaultFrameWidth, &option, &edit)
                         : 0;
  const QRect contents =
      edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
  const QMargins margins = edit.textMargins();
  constexpr int kLineEditMargins = 2 * 2 + 1;
  return contents.width() - margins.left() - margins.right() - kLineEditMargins;
}

// The largest font, at most the window's, in which `text` fits `edit`.
void FitFont(QLineEdit& edit, const QString& text) {
  QFont font = edit.font();
  for (int pixels = font.pixelSize(); pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(text) <= TextRoom(edit)) break;
  }
  edit.setFont(font);
}

QFont WindowFont(int pixels) {
  QFont font(kWindowFontFamily);
  font.setPixelSize(pixels);
  return font;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int x,
                  int y) {
  QLabel* label = Named(new QLabel(QString::fromLatin1(text), parent), name);
  // Labels show paths, names and values from the input files: never markup.
  label->setTextFormat(Qt::PlainText);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text,
                        QRect geometry, bool bold) {
  QPushButton* button =
      Named(new QPushButton(QString::fromLatin1(text), parent), name);
  button->setGeometry(geometry);
  if (bold) {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
  }
  return button;
}

}  // namespace

TForm1::TForm1(WindowDialogs dialogs, QWidget* parent)
    : QWidget(parent),
      own_boxes_(dialogs.boxes ? nullptr
                               : std::make_unique<QtMessageBoxes>(this)),
      boxes_(dialogs.boxes ? *dialogs.boxes : *own_boxes_),
      sink_(boxes_),
      workspace_(sink_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  RegisterWindowFont();
  setFont(WindowFont(kWindowFontPixels));
  CreateControls();
  CreateMenus();
  // The controls keep their designed area; the menu bar sits above it.
  resize(kDesignSize + QSize(0, MenuBar1->sizeHint().height()));
  // Smaller, the controls at their fixed places would overlap.
  setMinimumSize(size());
  move(0, 0);
  setAcceptDrops(true);
  files_ = dialogs.files;
  if (files_ == nullptr) {
    own_files_ = std::make_unique<QtFileDialogs>(*OpenDialog1, *SaveDialog1);
    files_ = own_files_.get();
  }
  figures_ = dialogs.figures;
  if (figures_ == nullptr) {
    own_figures_ = std::make_unique<QtFigureDialogs>(
        *FigureOptionsDialog1, *FigureSaveDialog1, *ViewPictureDialog1, this);
    figures_ = own_figures_.get();
  }
  windows_ = dialogs.windows;
  if (windows_ == nullptr) {
    own_windows_ = std::make_unique<QtConservationQuestions>(this);
    windows_ = own_windows_.get();
  }
  ConnectHandlers();
  workspace_.on_status_changed = [this] { ShowStatus(); };
  busy_ = std::make_unique<BusyIndicator>(Label7);
  workspace_.SetFigureRenderer(&renderer_);
  workspace_.SetProgressObserver(busy_.get());
}

TForm1::~TForm1() {
  // The view widget reads the workspace's model; it goes first.
  workspace_.on_status_changed = nullptr;
  workspace_.SetProgressObserver(nullptr);
  delete RE1;
}

void TForm1::CreateControls() {
  Client = Named(new QWidget(this), "Client");
  Client->resize(kDesignSize);
  PageControl1 = Named(new QTabWidget(Client), "PageControl1");
  PageControl1->setGeometry(8, 4, 524, 121);
  TabSheet1 = Named(new QWidget, "TabSheet1");
  TabSheet2 = Named(new QWidget, "TabSheet2");
  PageControl1->addTab(TabSheet1, QStringLiteral("Files"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Seq Annotation"));
  PageControl1->setCurrentIndex(0);
  CreateFilesPage();
  CreateAnnotationPage();

  RE1 = Named(new RichViewWidget(workspace_.View(), Client), "RE1");
  RE1->setGeometry(8, 127, 524, 234);
  Label7 = MakeLabel(Client, "Label7", ".", 8, 367);
  // Over the page control's tab row, so created after it.
  Button2 =
      MakeButton(Client, "Button2", "About", QRect(504, 4, 28, 12), false);
  Button2->setFont(WindowFont(kAboutFontPixels));
  // Left of About, in the free part of the tab row.
  SitesButton =
      MakeButton(Client, "SitesButton", "Sites", QRect(470, 4, 30, 12), false);
  SitesButton->setFont(WindowFont(kAboutFontPixels));
  SitesButton->setCheckable(true);
  PlotButton =
      MakeButton(Client, "PlotButton", "Plot", QRect(436, 4, 30, 12), false);
  PlotButton->setFont(WindowFont(kAboutFontPixels));
  PlotButton->setCheckable(true);
  Plot1 = new PlotPanel(*RE1);
  Sites = new SitesPanel(Client);
  Sites->hide();

  OpenDialog1 = Named(CreateOpenDialog(this), "OpenDialog1");
  SaveDialog1 = Named(CreateSaveDialog(this), "SaveDialog1");
  FigureOptionsDialog1 =
      Named(new FigureOptionsDialog(this), "FigureOptionsDialog1");
  FigureSaveDialog1 = Named(CreateFigureSaveDialog(this), "FigureSaveDialog1");
  ViewPictureDialog1 =
      Named(CreateViewPictureDialog(this), "ViewPictureDialog1");

  anchors_.Add(PageControl1, {.left = true, .top = true, .right = true},
               kDesignSize);
  anchors_.Add(RE1, {.left = true, .top = true, .right = true, .bottom = true},
               kDesignSize);
  anchors_.Add(Label7, {.left = true, .top = false, .bottom = true},
               kDesignSize);
  anchors_.Add(Button2, {.left = false, .top = true, .right = true},
               kDesignSize);
  anchors_.Add(SitesButton, {.left = false, .top = true, .right = true},
               kDesignSize);
  anchors_.Add(PlotButton, {.left = false, .top = true, .right = true},
               kDesignSize);
}

void TForm1::CreateMenus() {
  MenuBar1 = Named(new QMenuBar(this), "MenuBar1");
  const auto add = [this](QMenu* menu, const char* name, const char* text,
                          QList<QKeySequence> keys = {}) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    return action;
  };
  // An action that clicks `button`: its handler, and nothing else.
  const auto clicks = [](QAction* action, QPushButton* button) {
    connect(action, &QAction::triggered, button, &QPushButton::click);
  };
  // A shown/hidden action that mirrors a check button.
  const auto mirrors = [](QAction* action, QPushButton* button) {
    action->setCheckable(true);
    connect(action, &QAction::toggled, button, &QPushButton::setChecked);
    connect(button, &QPushButton::toggled, action, &QAction::setChecked);
  };

  QMenu* file = MenuBar1->addMenu(QStringLiteral("&File"));
  clicks(add(file, "ActionSetFas", "Set &FAS File...",
             {QKeySequence(Qt::CTRL | Qt::Key_O)}),
         Button4);
  clicks(add(file, "ActionSetConservation", "Set &Conservation File..."),
         Button5);
  clicks(add(file, "ActionSetTf", "Set &TF File..."), Button6);
  clicks(add(file, "ActionReadIn", "&Read in Files"), Button1);
  file->addSeparator();
  clicks(add(file, "ActionImportSites", "&Import Sites..."), ImportSitesButton);
  clicks(add(file, "ActionComputeConservation", "Compute C&onservation..."),
         ComputeConservationButton);
  file->addSeparator();
  clicks(add(file, "ActionSaveRtf", "&Save RTF",
             {QKeySequence(Qt::CTRL | Qt::Key_S)}),
         Button7);
  clicks(add(file, "ActionExportFigure", "&Export Figure...",
             {QKeySequence(Qt::CTRL | Qt::Key_E)}),
         ExportFigureButton);
  clicks(add(file, "ActionSaveReport", "Save Re&port..."), Sites->SaveButton());
  clicks(add(file, "ActionPrint", "&Print...",
             {QKeySequence(Qt::CTRL | Qt::Key_P)}),
         PrintFigureButton);
  file->addSeparator();
  connect(
      add(file, "ActionQuit", "&Quit", {QKeySequence(Qt::CTRL | Qt::Key_Q)}),
      &QAction::triggered, this, &QWidget::close);

  QMenu* edit = MenuBar1->addMenu(QStringLiteral("&Edit"));
  connect(
      add(edit, "ActionCopy", "&Copy", {QKeySequence(Qt::CTRL | Qt::Key_C)}),
      &QAction::triggered, this, [this] { RE1->Copy(); });
  connect(add(edit, "ActionSelectAll", "Select &All",
              {QKeySequence(Qt::CTRL | Qt::Key_A)}),
          &QAction::triggered, this, [this] { RE1->SelectAll(); });

  QMenu* view = MenuBar1->addMenu(QStringLiteral("&View"));
  mirrors(add(view, "ActionPlot", "&Plot"), PlotButton);
  mirrors(add(view, "ActionSites", "&Sites"), SitesButton);
  view->addSeparator();
  connect(add(view, "ActionLarger", "&Larger Text",
              {QKeySequence(Qt::CTRL | Qt::Key_Plus),
               QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
          &QAction::triggered, this, [this] { ZoomView(1); });
  connect(add(view, "ActionSmaller", "S&maller Text",
              {QKeySequence(Qt::CTRL | Qt::Key_Minus)}),
          &QAction::triggered, this, [this] { ZoomView(-1); });

  QMenu* help = MenuBar1->addMenu(QStringLiteral("&Help"));
  clicks(add(help, "ActionAbout", "&About"), Button2);
}

void TForm1::ZoomView(int step) {
  Command([&] {
    RE1->SetTextPixels(RE1->TextPixels() + step);
    RE1->viewport()->update();
  });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  const bool files = !urls.isEmpty() &&
                     std::all_of(urls.begin(), urls.end(), [](const QUrl& url) {
                       return url.isLocalFile();
                     });
  if (files) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
  }
  event->acceptProposedAction();
  DropFiles(paths);
}

void TForm1::DropFiles(const std::vector<std::string>& paths) {
  // The head of a file is enough to tell its kind.
  constexpr std::size_t kHeadBytes = 1 << 16;
  std::vector<std::string> site_files;
  bool path_set = false;
  Command([&] {
    for (const std::string& path : paths) {
      if (const std::optional<std::string> failure = ReadFailure(path)) {
        sink_.Show(*failure);
        continue;
      }
      std::ifstream in(path, std::ios::binary);
      std::string head(kHeadBytes, '\0');
      in.read(head.data(), static_cast<std::streamsize>(head.size()));
      head.resize(static_cast<std::size_t>(in.gcount()));
      const std::optional<InputKind> kind = RecogniseInput(head);
      if (!kind) {
        sink_.Show("Not an alignment, TF, conservation or site file: " + path);
        continue;
      }
      switch (*kind) {
        case InputKind::kAlignment:
          SetFile(FileSlot::kFas, path);
          break;
        case InputKind::kConservation:
          SetFile(FileSlot::kConservation, path);
          break;
        case InputKind::kTf:
          SetFile(FileSlot::kTf, path);
          break;
        case InputKind::kSites:
          site_files.push_back(path);
          continue;
      }
      path_set = true;
    }
  });
  const bool all_set = !workspace_.Path(FileSlot::kFas).empty() &&
                       !workspace_.Path(FileSlot::kConservation).empty() &&
                       !workspace_.Path(FileSlot::kTf).empty();
  if (path_set && all_set) Button1Click();
  for (const std::string& path : site_files) {
    Command([&] { workspace_.ImportSites(path); });
  }
}

void TForm1::CreateFilesPage() {
  QWidget* page = TabSheet1;
  Label1 = MakeLabel(page, "Label1", "Input FAS File:", 48, 16);
  Label2 = MakeLabel(page, "Label2", "Input Conservation File:", 48, 35);
  Label3 = MakeLabel(page, "Label3", "Input TF File: ", 48, 54);
  Label4 = MakeLabel(page, "Label4", kNoPath, 168, 16);
  Label5 = MakeLabel(page, "Label5", kNoPath, 168, 35);
  Label6 = MakeLabel(page, "Label6", kNoPath, 168, 54);
  Button4 = MakeButton(page, "Button4", "SET", QRect(8, 15, 34, 17), false);
  Button5 = MakeButton(page, "Button5", "SET", QRect(8, 34, 34, 17), false);
  Button6 = MakeButton(page, "Button6", "SET", QRect(8, 54, 34, 17), false);
  Button1 =
      MakeButton(page, "Button1", "Read in Files", QRect(8, 73, 111, 17), true);
  Button7 =
      MakeButton(page, "Button7", "Save RTF", QRect(125, 73, 108, 17), true);
  // The other document of the window, beside Save RTF on the same row.
  ExportFigureButton =
      MakeButton(page, "ExportFigureButton", "Export Figure...",
                 QRect(239, 73, 108, 17), true);
  ImportSitesButton = MakeButton(page, "ImportSitesButton", "Import Sites...",
                                 QRect(353, 73, 96, 17), false);
}

void TForm1::CreateAnnotationPage() {
  QWidget* page = TabSheet2;
  Button3 = MakeButton(page, "Button3", "Annotate", QRect(3, 3, 75, 25), true);
  Label8 = MakeLabel(page, "Label8", "Conservation Criteria", 104, 8);
  CheckListBox1 = Named(new QListWidget(page), "CheckListBox1");
  CheckListBox1->setGeometry(104, 24, 121, 69);
  Label9 = MakeLabel(page, "Label9", "Threshold value", 248, 8);
  ComboBox1 = Named(new QComboBox(page), "ComboBox1");
  ComboBox1->setEditable(true);
  // Typed text only chooses; it never adds a score.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setGeometry(248, 24, 88, kFieldHeight);
  Edit1 = Named(new QLineEdit(page), "Edit1");
  Edit1->setGeometry(342, 24, 43, kFieldHeight);
  FitFont(*Edit1, QString::fromLatin1(kWidestCutoff));
  Button8 = MakeButton(page, "Button8", "SET", QRect(391, 24, 50, 21), false);
  // Computed windows become the criteria and cut-offs above it.
  ComputeConservationButton =
      MakeButton(page, "ComputeConservationButton", "Compute Conservation...",
                 QRect(248, 52, 150, 21), false);
  // The figure on paper, beside Compute Conservation; a picture of the view
  // as shown, under Annotate.
  PrintFigureButton = MakeButton(page, "PrintFigureButton", "Print Figure...",
                                 QRect(405, 52, 100, 21), false);
  ExportViewButton = MakeButton(page, "ExportViewButton", "Export View...",
                                QRect(3, 34, 95, 21), false);
}

template <typename Body>
void TForm1::Command(Body&& body) {
  // Declared in this order so that the cursor is back before any box shows.
  CommandMessages messages(sink_);
  const BusyCommand busy(*busy_);
  try {
    body();
  } catch (const std::exception& error) {
    sink_.Show(FailureText(error));
  }
}

void TForm1::LayOutView() {
  // Measuring every line and the first paint take long on a huge view; both
  // run under the wait cursor and a step text.
  busy_->PhaseStarted(kPhaseLayout);
  RE1->ModelChanged();
  RE1->viewport()->repaint();
}

void TForm1::ConnectHandlers() {
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
  connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
  connect(ExportFigureButton, &QPushButton::clicked, this,
          &TForm1::ExportFigureClick);
  connect(SitesButton, &QPushButton::toggled, this, &TForm1::SitesClick);
  connect(PlotButton, &QPushButton::toggled, this, &TForm1::PlotClick);
  Plot1->on_column_clicked = [this](std::uint64_t column) {
    RE1->ScrollToColumn(column);
  };
  Sites->on_site_chosen = [this](const SiteReportRow& row) { ShowSite(row); };
  Sites->on_save = [this](const ReportFilter& filter) { SaveReport(filter); };
  connect(ImportSitesButton, &QPushButton::clicked, this,
          &TForm1::ImportSitesClick);
  connect(PrintFigureButton, &QPushButton::clicked, this,
          &TForm1::PrintFigureClick);
  connect(ExportViewButton, &QPushButton::clicked, this,
          &TForm1::ExportViewClick);
  connect(ComputeConservationButton, &QPushButton::clicked, this,
          &TForm1::ComputeConservationClick);
  connect(CheckListBox1, &QListWidget::itemChanged, this,
          &TForm1::CheckListBox1ClickCheck);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          &TForm1::ComboBox1Change);
  connect(ComboBox1, &QComboBox::editTextChanged, this,
          &TForm1::ComboBox1Change);
  connect(RE1, &RichViewWidget::SelectionChanged, this,
          &TForm1::RE1SelectionChange);
  // A failure inside the view's own event is shown once that event is over.
  connect(RE1, &RichViewWidget::Failed, this, [this](std::string_view text) {
    QMetaObject::invokeMethod(
        this,
        [this, message = std::string(text)] {
          Command([&] { sink_.Show(message); });
        },
        Qt::QueuedConnection);
  });
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int bar = MenuBar1->sizeHint().height();
  MenuBar1->setGeometry(0, 0, event->size().width(), bar);
  Client->setGeometry(0, bar, event->size().width(),
                      std::max(0, event->size().height() - bar));
  // The specified controls keep the area under the menu bar to themselves; a
  // shown Sites panel takes a strip of its own on the right.
  QSize controls = Client->size();
  if (Sites->isVisible()) {
    controls.setWidth(std::max(0, controls.width() - kSitesWidth));
    Sites->setGeometry(controls.width(), 4, kSitesWidth - 8,
                       std::max(0, controls.height() - 8));
  }
  anchors_.Apply(controls);
}

QLabel* TForm1::PathLabel(FileSlot slot) const {
  switch (slot) {
    case FileSlot::kFas:
      return Label4;
    case FileSlot::kConservation:
      return Label5;
    case FileSlot::kTf:
      break;
  }
  return Label6;
}

void TForm1::SetFile(FileSlot slot, const std::string& path) {
  if (!workspace_.ChooseFile(slot, path)) return;
  QLabel* label = PathLabel(slot);
  label->setText(FromPath(path));
  label->adjustSize();
}

void TForm1::ChooseFile(FileSlot slot, const std::string& path) {
  Command([&] { SetFile(slot, path); });
}

void TForm1::ChooseFileWithDialog(FileSlot slot) {
  Command([&] {
    const std::optional<std::string> path = files_->OpenFile();
    if (path) SetFile(slot, *path);
  });
}

void TForm1::Button4Click() { ChooseFileWithDialog(FileSlot::kFas); }
void TForm1::Button5Click() { ChooseFileWithDialog(FileSlot::kConservation); }
void TForm1::Button6Click() { ChooseFileWithDialog(FileSlot::kTf); }

void TForm1::Button1Click() {
  Command([this] {
    if (workspace_.ReadInFiles()) {
      FillCriteriaAndScores();
      PageControl1->setCurrentIndex(1);
    }
    // The view is rewritten: its sites and windows are gone.
    Sites->Clear();
    Plot1->Clear();
    sites_stale_ = false;
    // Also after a failure: a reading in that stopped while listing has
    // changed the view.
    LayOutView();
  });
}

void TForm1::FillCriteriaAndScores() {
  // Filling is no user choice: neither list may fire its handler.
  const QSignalBlocker block_list(CheckListBox1);
  const QSignalBlocker block_chooser(ComboBox1);
  CheckListBox1->clear();
  ComboBox1->clear();
  ComboBox1->setEditText(QString());
  const AString& names = workspace_.Conservation().ScoreNames;
  const AByte& criteria = workspace_.Criteria();
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto* item = new QListWidgetItem(FromBytes(names[i]), CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool checked = i < criteria.size() && criteria[i] != 0;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    ComboBox1->addItem(FromBytes(names[i]));
  }
  if (names.empty()) return;
  ComboBox1->setCurrentIndex(0);
  ShowCutoff(0);
}

void TForm1::Button3Click() {
  Command([this] {
    Sites->Clear();
    Plot1->Clear();
    sites_stale_ = workspace_.Annotate();
    // The plot shows the criteria and cut-offs of this Annotate.
    if (const ConservationPlot* plot = workspace_.Plot()) Plot1->SetPlot(*plot);
    LayOutView();
    FillSites();
  });
}

void TForm1::SitesClick(bool shown) {
  Command([&] {
    const int width = this->width() + (shown ? kSitesWidth : -kSitesWidth);
    Sites->setVisible(shown);
    resize(std::max(width, 0), height());
    FillSites();
  });
}

void TForm1::PlotClick(bool shown) {
  Command([&] { Plot1->Show(shown); });
}

void TForm1::FillSites() {
  // The report is built only for a panel that shows it.
  if (!sites_stale_ || !Sites->isVisible()) return;
  sites_stale_ = false;
  if (const SiteReport* report = workspace_.SitesReport()) {
    Sites->SetReport(*report);
  }
}

void TForm1::ShowSite(const SiteReportRow& row) {
  Command([&] {
    if (workspace_.SelectSite(row)) RE1->ShowModelSelection();
  });
}

void TForm1::SaveReport(const ReportFilter& filter) {
  Command([&] {
    if (workspace_.SitesReport() == nullptr) return;
    const std::optional<std::string> path = files_->SaveReportFile();
    if (!path) return;
    workspace_.SaveReport(
        *path, ReportFormatForPath(*path).value_or(ReportFormat::kTsv), filter);
  });
}

void TForm1::CheckListBox1ClickCheck() {
  Command([this] {
    std::vector<bool> checked;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
      checked.push_back(CheckListBox1->item(i)->checkState() == Qt::Checked);
    }
    workspace_.SetCriteria(checked);
  });
}

std::optional<std::size_t> TForm1::ChosenScore() const {
  const QString text = ComboBox1->currentText();
  // The chosen item first, so that of two scores with one name the one
  // picked from the list counts.
  int index = ComboBox1->currentIndex();
  if (index < 0 || ComboBox1->itemText(index) != text) {
    index =
        ComboBox1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  }
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void TForm1::ShowCutoff(std::optional<std::size_t> score) {
  const std::optional<std::string> text = workspace_.CutoffText(score);
  Edit1->setText(text ? FromBytes(*text) : QString());
}

void TForm1::ComboBox1Change() {
  Command([this] { ShowCutoff(ChosenScore()); });
}

void TForm1::Button8Click() {
  Command([this] {
    const QByteArray text = Edit1->text().toUtf8();
    const std::optional<std::string> shown = workspace_.StoreCutoff(
        ChosenScore(), std::string_view(text.constData(),
                                        static_cast<std::size_t>(text.size())));
    if (shown) Edit1->setText(FromBytes(*shown));
  });
}

void TForm1::Button7Click() {
  Command([this] {
    const std::optional<std::string> path = files_->SaveFile();
    if (path) workspace_.Save(*path, DocumentFormat::kRtf);
  });
}

std::optional<FigureOptions> TForm1::AskFigureOptions() {
  // Nothing to draw yet: say so before asking anything.
  if (!workspace_.Loaded()) {
    sink_.Show(kNoDataLoaded);
    return std::nullopt;
  }
  std::optional<FigureOptions> options = figures_->FigureOptionsFor(
      TitleFromPath(workspace_.Path(FileSlot::kFas)));
  // The layout takes block widths in this range only.
  if (options) {
    options->wrap = std::clamp(options->wrap, kMinFigureWrap, kMaxFigureWrap);
  }
  return options;
}

void TForm1::ExportFigureClick() {
  Command([this] {
    const std::optional<FigureOptions> options = AskFigureOptions();
    if (!options) return;
    const std::optional<FigureFile> file = figures_->FigureFileToSave();
    if (!file) return;
    workspace_.SaveFigure(file->path, FigureFormatOf(file->path, file->format),
                          *options);
  });
}

void TForm1::PrintFigureClick() {
  Command([this] {
    const std::optional<FigureOptions> options = AskFigureOptions();
    if (!options) return;
    workspace_.DrawFigure(*options, [this](const FigureDocument& figure) {
      figures_->PrintFigure(figure);
    });
  });
}

void TForm1::ExportViewClick() {
  Command([this] {
    const std::optional<std::string> path = figures_->ViewPictureToSave();
    if (!path) return;
    // What the view shows now, at the screen's resolution.
    const QImage picture = RE1->viewport()->grab().toImage();
    workspace_.SaveOutput(*path, [&picture](std::ostream& out) {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      if (!picture.save(&buffer, "PNG")) {
        throw std::runtime_error("Cannot make a PNG picture of the view");
      }
      out.write(bytes.constData(), static_cast<std::streamsize>(bytes.size()));
    });
  });
}

void TForm1::ImportSitesClick() {
  Command([this] {
    const std::optional<std::string> path = files_->OpenFile();
    if (path) workspace_.ImportSites(*path);
  });
}

void TForm1::ComputeConservationClick() {
  Command([this] {
    std::vector<std::string> rows;
    if (const TSeqSet* alignment = workspace_.Alignment()) {
      for (const TSeq& seq : alignment->Seqs) rows.push_back(seq.SeqName);
    }
    const std::optional<WindowSettings> settings = windows_->AskWindows(rows);
    if (settings && workspace_.ComputeConservation(*settings))
      FillCriteriaAndScores();
  });
}

void TForm1::Button2Click() {
  Command([this] { boxes_.Present(kAboutText); });
}

void TForm1::RE1SelectionChange() {
  // Nothing to do here: the view widget writes every selection into the
  // workspace's model, whose change notice runs the selection inspector,
  // and the status label follows the workspace's status.
}

void TForm1::ShowStatus() {
  Label7->setText(FromBytes(workspace_.Status()));
  if (busy_) busy_->StatusChanged();
  Label7->adjustSize();
  // Commands run to completion without returning to the event loop; the
  // progress texts must show while they run.
  Label7->repaint();
}

}  // namespace tessarin
