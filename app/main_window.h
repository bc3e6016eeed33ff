// The main window: the controls of the desktop tool, each handler a call to
// one Workspace command followed by the updates of the controls that the
// command implies. The window holds the workspace for the program's
// lifetime and adds no behaviour of its own.
#ifndef TESSARIN_APP_MAIN_WINDOW_H_
#define TESSARIN_APP_MAIN_WINDOW_H_

#include <QWidget>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/anchors.h"
#include "app/busy_indicator.h"
#include "app/collapsing_sink.h"
#include "app/conservation_dialog.h"
#include "app/dialogs.h"
#include "app/plot_panel.h"
#include "app/sites_panel.h"
#include "app/workspace.h"
#include "render/figure_files.h"

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace tessarin {

class FigureOptionsDialog;
class QtFigureDialogs;
class QtFileDialogs;
class QtMessageBoxes;
class RichViewWidget;

inline constexpr const char* kProgramTitle = "Tessarin 0.01";
// The About box: program and version, rights, contact.
inline constexpr const char* kAboutText =
    "Tessarin 0.01\n"
    "Copyright (c) 2026 the Tessarin developers. MIT License.\n"
    "Contact: tessarin@example.org";

// Where the window asks its modal questions. A null member means the
// desktop's own dialogs (the file dialogs OpenDialog1 and SaveDialog1, the
// figure's FigureOptionsDialog1, FigureSaveDialog1 and ViewPictureDialog1, the
// print dialog, and message boxes over
// the window); tests pass scripted ones. Whatever is
// passed must outlive the window.
struct WindowDialogs {
  FileDialogs* files = nullptr;
  MessageBoxes* boxes = nullptr;
  FigureDialogs* figures = nullptr;
  ConservationQuestions* windows = nullptr;  // Compute Conservation
};

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(WindowDialogs dialogs = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // A file SET button's command with `path` in place of the open dialog's
  // answer (paths given on the command line).
  void ChooseFile(FileSlot slot, const std::string& path);

  const Workspace& Data() const { return workspace_; }

  // Files dropped on the window: each is told by its content; an alignment,
  // conservation or TF file sets its path as its SET button would, and when
  // all three paths are set the files are read in; site files are then
  // imported. A file of no known kind is reported.
  void DropFiles(const std::vector<std::string>& paths);

 public slots:
  void Button1Click();  // Read in Files
  void Button2Click();  // About
  void Button3Click();  // Annotate
  void Button4Click();  // choose the FAS file
  void Button5Click();  // choose the conservation file
  void Button6Click();  // choose the TF file
  void Button7Click();  // Save RTF
  void Button8Click();  // store the cut-off
  void ExportFigureClick();
  // The figure of Export Figure's options, printed.
  void PrintFigureClick();
  // A PNG picture of the part of the view that is shown.
  void ExportViewClick();
  void CheckListBox1ClickCheck();
  void ComboBox1Change();
  void RE1SelectionChange();
  // Beside the file controls: the same commands as the batch front
  // end's --sites and --windows.
  void ImportSitesClick();
  void ComputeConservationClick();
  // Shows or hides the Sites panel to the right of the specified controls.
  void SitesClick(bool shown);
  // Shows or hides the conservation plot above the view's rows.
  void PlotClick(bool shown);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void CreateFilesPage();
  void CreateAnnotationPage();
  // The menu bar above the controls; each action runs its button's handler.
  void CreateMenus();
  // Larger or smaller text in the view, by `step` pixels.
  void ZoomView(int step);
  void ConnectHandlers();
  void ChooseFileWithDialog(FileSlot slot);
  void SetFile(FileSlot slot, const std::string& path);
  QLabel* PathLabel(FileSlot slot) const;
  void FillCriteriaAndScores();
  // The score that ComboBox1's text names, if any.
  std::optional<std::size_t> ChosenScore() const;
  // Edit1 shows the score's cut-off, or nothing when there is none.
  void ShowCutoff(std::optional<std::size_t> score);
  void ShowStatus();
  // Runs one handler as a command: its messages are shown when it ends, the
  // wait cursor stays until then, and a failure it throws (out of memory,
  // say) is shown in a box instead of ending the program.
  template <typename Body>
  void Command(Body&& body);
  // Export Figure's and Print Figure's options, asked only once something
  // is read in; the block width kept in the layout's range.
  std::optional<FigureOptions> AskFigureOptions();
  // Fills the Sites panel from the last Annotate, when it shows one.
  void FillSites();
  // Selects a report row's letters in the view and scrolls to them.
  void ShowSite(const SiteReportRow& row);
  void SaveReport(const ReportFilter& filter);
  // Brings the view widget up to the model after a command changed it.
  void LayOutView();

  // Declared in this order: the sink needs the boxes, the workspace the sink.
  std::unique_ptr<QtMessageBoxes> own_boxes_;
  MessageBoxes& boxes_;
  CollapsingSink sink_;
  Workspace workspace_;
  std::unique_ptr<QtFileDialogs> own_files_;
  FileDialogs* files_ = nullptr;
  std::unique_ptr<QtFigureDialogs> own_figures_;
  FigureDialogs* figures_ = nullptr;
  std::unique_ptr<QtConservationQuestions> own_windows_;
  ConservationQuestions* windows_ = nullptr;
  AnchorLayout anchors_;
  std::unique_ptr<BusyIndicator> busy_;
  QtFigureRenderer renderer_;

  // The menu bar, and under it the area that holds the controls at their
  // designed places.
  QMenuBar* MenuBar1 = nullptr;
  QWidget* Client = nullptr;

  // The controls, each named as its object (objectName), which is how tests
  // and style sheets find them. All are children of Client.
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* ExportFigureButton = nullptr;
  QPushButton* ImportSitesButton = nullptr;
  QPushButton* SitesButton = nullptr;
  QPushButton* PlotButton = nullptr;
  PlotPanel* Plot1 = nullptr;
  SitesPanel* Sites = nullptr;
  bool sites_stale_ = false;  // the panel is behind the last Annotate
  QPushButton* ComputeConservationButton = nullptr;
  QPushButton* PrintFigureButton = nullptr;
  QPushButton* ExportViewButton = nullptr;
  QListWidget* CheckListBox1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  RichViewWidget* RE1 = nullptr;
  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;
  FigureOptionsDialog* FigureOptionsDialog1 = nullptr;
  QFileDialog* FigureSaveDialog1 = nullptr;
  QFileDialog* ViewPictureDialog1 = nullptr;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_MAIN_WINDOW_H_
