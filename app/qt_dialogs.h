// The desktop's own file dialogs and message boxes behind the interfaces of
// app/dialogs.h.
#ifndef TESSARIN_APP_QT_DIALOGS_H_
#define TESSARIN_APP_QT_DIALOGS_H_

#include <QDialog>
#include <QFileDialog>
#include <memory>
#include <optional>
#include <string>

#include "app/dialogs.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace tessarin {

// The window's open dialog: any name may be typed (one that names no file
// gets its own message), no file-type filter.
QFileDialog* CreateOpenDialog(QWidget* parent);
// The window's save dialog: no file-type filter, no default extension,
// resizable, and it asks before it lets an existing file be replaced.
QFileDialog* CreateSaveDialog(QWidget* parent);

// The file-type filters of the figure's save dialog, one per format.
inline constexpr const char* kRtfFilter = "RTF document (*.rtf)";
inline constexpr const char* kHtmlFilter = "HTML page (*.html *.htm)";
inline constexpr const char* kPdfFilter = "PDF document (*.pdf)";
inline constexpr const char* kSvgFilter = "SVG picture (*.svg)";
inline constexpr const char* kPngFilter = "PNG picture (*.png)";

// The figure's save dialog: a filter per format (RTF, HTML, PDF, SVG, PNG);
// the default extension is the chosen filter's, and it asks before it lets
// an existing file be replaced.
QFileDialog* CreateFigureSaveDialog(QWidget* parent);
// The save dialog for a picture of the view: PNG only, likewise.
QFileDialog* CreateViewPictureDialog(QWidget* parent);

// The format of a figure file: the one its extension names, so that
// "fig.html" typed under the RTF filter gives a page; `chosen` (the chosen
// filter's) otherwise.
DocumentFormat FigureFormatOf(const std::string& path, DocumentFormat chosen);

// Block width (kMinFigureWrap to kMaxFigureWrap columns), title, palette,
// PNG resolution and PDF page of a figure, with OK and Cancel. The fields keep
// their values from one export to the next.
class FigureOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FigureOptionsDialog(QWidget* parent);
  // Runs the dialog with `default_title` as the title field's hint; nothing
  // when cancelled.
  std::optional<FigureOptions> Ask(const std::string& default_title);

 private:
  QSpinBox* wrap_ = nullptr;
  QLineEdit* title_ = nullptr;
  QComboBox* palette_ = nullptr;
  QSpinBox* dpi_ = nullptr;
  QComboBox* page_ = nullptr;
  QCheckBox* plot_ = nullptr;
};

// Runs the two dialog objects that the window owns. The open dialog is one
// object for every file button, so it starts on the file chosen last.
class QtFileDialogs : public FileDialogs {
 public:
  // Both dialogs must outlive this object.
  QtFileDialogs(QFileDialog& open_dialog, QFileDialog& save_dialog)
      : open_(open_dialog), save_(save_dialog) {}
  ~QtFileDialogs() override;

  std::optional<std::string> OpenFile() override;
  std::optional<std::string> SaveFile() override;
  // A save dialog with a filter for TSV and one for JSON, whose default
  // extension follows the filter chosen.
  std::optional<std::string> SaveReportFile() override;

 private:
  QFileDialog& open_;
  QFileDialog& save_;
  std::unique_ptr<QFileDialog> report_;
};

// Runs the figure's options dialog, its save dialog, the view picture's
// save dialog and the desktop's print dialog over `parent`; the window owns
// the dialogs, and they must outlive this object.
class QtFigureDialogs : public FigureDialogs {
 public:
  QtFigureDialogs(FigureOptionsDialog& options, QFileDialog& save_dialog,
                  QFileDialog& picture_dialog, QWidget* parent)
      : options_(options),
        save_(save_dialog),
        picture_(picture_dialog),
        parent_(parent) {}

  std::optional<FigureOptions> FigureOptionsFor(
      const std::string& default_title) override;
  std::optional<FigureFile> FigureFileToSave() override;
  std::optional<std::string> ViewPictureToSave() override;
  // Pages in landscape unless the user chooses otherwise.
  bool PrintFigure(const FigureDocument& figure) override;

 private:
  FigureOptionsDialog& options_;
  QFileDialog& save_;
  QFileDialog& picture_;
  QWidget* parent_;
};

// A modal QMessageBox with one OK button over `parent`.
class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void Present(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_QT_DIALOGS_H_
