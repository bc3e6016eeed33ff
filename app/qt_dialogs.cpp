#include "app/qt_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStringList>

#include "render/figure_files.h"
#include "view/figure_layout.h"
#include "view/palette.h"

namespace tessarin {

namespace {

constexpr const char* kBoxTitle = "Tessarin";

std::optional<std::string> RunDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return QFile::encodeName(chosen.front()).toStdString();
}

// The extension a file gets under `filter` when none is typed: the first
// pattern's ("*.html *.htm" gives "html").
QString DefaultSuffixOf(const QString& filter) {
  const qsizetype open = filter.indexOf(QLatin1Char('('));
  const qsizetype close = filter.indexOf(QLatin1Char(')'), open + 1);
  if (open < 0 || close < 0) return QString();
  const QStringList patterns = filter.mid(open + 1, close - open - 1)
                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (patterns.isEmpty() || !patterns.front().startsWith(QStringLiteral("*.")))
    return QString();
  return patterns.front().mid(2);
}

}  // namespace

QFileDialog* CreateOpenDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::AnyFile);
  return dialog;
}

QFileDialog* CreateSaveDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(QString());
  dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog->setSizeGripEnabled(true);
  return dialog;
}

namespace {

// The figure formats by filter, in the order the dialog offers them.
struct FilterFormat {
  const char* filter;
  DocumentFormat format;
};
constexpr FilterFormat kFigureFilters[] = {{kRtfFilter, DocumentFormat::kRtf},
                                           {kHtmlFilter, DocumentFormat::kHtml},
                                           {kPdfFilter, DocumentFormat::kPdf},
                                           {kSvgFilter, DocumentFormat::kSvg},
                                           {kPngFilter, DocumentFormat::kPng}};

QFileDialog* CreateFilteredSaveDialog(QWidget* parent, const QString& title,
                                      const QStringList& filters) {
  auto* dialog = new QFileDialog(parent);
  dialog->setWindowTitle(title);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setNameFilters(filters);
  dialog->setDefaultSuffix(DefaultSuffixOf(dialog->selectedNameFilter()));
  dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog->setSizeGripEnabled(true);
  QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                   [dialog](const QString& filter) {
                     dialog->setDefaultSuffix(DefaultSuffixOf(filter));
                   });
  return dialog;
}

}  // namespace

QFileDialog* CreateFigureSaveDialog(QWidget* parent) {
  QStringList filters;
  for (const FilterFormat& entry : kFigureFilters) {
    filters.push_back(QString::fromLatin1(entry.filter));
  }
  return CreateFilteredSaveDialog(parent, QStringLiteral("Export Figure"),
                                  filters);
}

QFileDialog* CreateViewPictureDialog(QWidget* parent) {
  return CreateFilteredSaveDialog(parent, QStringLiteral("Export View"),
                                  {QString::fromLatin1(kPngFilter)});
}

DocumentFormat FigureFormatOf(const std::string& path, DocumentFormat chosen) {
  const QString suffix =
      QFileInfo(QFile::decodeName(QByteArray::fromStdString(path)))
          .suffix()
          .toLower();
  if (suffix == QStringLiteral("htm")) return DocumentFormat::kHtml;
  for (const FilterFormat& entry : kFigureFilters) {
    if (suffix == DefaultSuffixOf(QString::fromLatin1(entry.filter))) {
      return entry.format;
    }
  }
  return chosen;
}

FigureOptionsDialog::FigureOptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Export Figure"));
  wrap_ = new QSpinBox(this);
  wrap_->setObjectName(QStringLiteral("WrapEdit"));
  wrap_->setRange(static_cast<int>(kMinFigureWrap),
                  static_cast<int>(kMaxFigureWrap));
  wrap_->setValue(static_cast<int>(FigureOptions{}.wrap));
  wrap_->setSuffix(QStringLiteral(" columns"));
  title_ = new QLineEdit(this);
  title_->setObjectName(QStringLiteral("TitleEdit"));
  palette_ = new QComboBox(this);
  palette_->setObjectName(QStringLiteral("PaletteBox"));
  palette_->addItems({QStringLiteral("distinct"), QStringLiteral("spec")});
  dpi_ = new QSpinBox(this);
  dpi_->setObjectName(QStringLiteral("DpiEdit"));
  dpi_->setRange(kMinFigureDpi, kMaxFigureDpi);
  dpi_->setValue(RenderSettings{}.dpi);
  dpi_->setSuffix(QStringLiteral(" dpi"));
  page_ = new QComboBox(this);
  page_->setObjectName(QStringLiteral("PageBox"));
  page_->addItems({QStringLiteral("A4"), QStringLiteral("letter"),
                   QStringLiteral("A4-portrait"),
                   QStringLiteral("letter-portrait")});
  plot_ = new QCheckBox(QStringLiteral("Conservation &plot above each block"),
                        this);
  plot_->setObjectName(QStringLiteral("PlotBox"));
  plot_->setChecked(FigureOptions{}.plot);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Block width:"), wrap_);
  form->addRow(QStringLiteral("&Title:"), title_);
  form->addRow(QStringLiteral("&Palette:"), palette_);
  form->addRow(QStringLiteral("PNG &resolution:"), dpi_);
  form->addRow(QStringLiteral("PDF pa&ge:"), page_);
  form->addRow(plot_);
  form->addRow(buttons);
}

std::optional<FigureOptions> FigureOptionsDialog::Ask(
    const std::string& default_title) {
  title_->setPlaceholderText(
      QFile::decodeName(QByteArray::fromStdString(default_title)));
  wrap_->setFocus();
  if (exec() != QDialog::Accepted) return std::nullopt;
  FigureOptions options;
  options.wrap = static_cast<std::size_t>(wrap_->value());
  // Documents are written in windows-1252; a character outside Latin-1
  // becomes "?".
  options.title = title_->text().toLatin1().toStdString();
  options.palette = PaletteByName(palette_->currentText().toStdString())
                        .value_or(Palette::kDistinct);
  options.plot = plot_->isChecked();
  options.render.dpi = dpi_->value();
  options.render =
      PageByName(page_->currentText().toStdString(), options.render)
          .value_or(options.render);
  return options;
}

std::optional<FigureOptions> QtFigureDialogs::FigureOptionsFor(
    const std::string& default_title) {
  return options_.Ask(default_title);
}

std::optional<FigureFile> QtFigureDialogs::FigureFileToSave() {
  // The user's choice of filter moves the default extension along; a filter
  // selected otherwise (kept from the last time, say) does not tell.
  save_.setDefaultSuffix(DefaultSuffixOf(save_.selectedNameFilter()));
  std::optional<std::string> path = RunDialog(save_);
  if (!path) return std::nullopt;
  DocumentFormat format = DocumentFormat::kRtf;
  for (const FilterFormat& entry : kFigureFilters) {
    if (save_.selectedNameFilter() == QString::fromLatin1(entry.filter)) {
      format = entry.format;
    }
  }
  return FigureFile{std::move(*path), format};
}

std::optional<std::string> QtFigureDialogs::ViewPictureToSave() {
  return RunDialog(picture_);
}

bool QtFigureDialogs::PrintFigure(const FigureDocument& figure) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, parent_);
  dialog.setWindowTitle(QStringLiteral("Print Figure"));
  if (dialog.exec() != QDialog::Accepted) return false;
  PaintFigurePages(figure, printer);
  return true;
}

std::optional<std::string> QtFileDialogs::OpenFile() {
  std::optional<std::string> path = RunDialog(open_);
  // Start on this file next time, whichever button asks.
  if (path)
    open_.selectFile(QFile::decodeName(QByteArray::fromStdString(*path)));
  return path;
}

std::optional<std::string> QtFileDialogs::SaveFile() {
  return RunDialog(save_);
}

QtFileDialogs::~QtFileDialogs() = default;

std::optional<std::string> QtFileDialogs::SaveReportFile() {
  if (!report_) {
    report_ = std::make_unique<QFileDialog>(save_.parentWidget(),
                                            QStringLiteral("Save Report"));
    report_->setAcceptMode(QFileDialog::AcceptSave);
    report_->setNameFilters({QStringLiteral("Tab-separated table (*.tsv)"),
                             QStringLiteral("JSON (*.json)")});
    report_->setDefaultSuffix(QStringLiteral("tsv"));
    QObject::connect(report_.get(), &QFileDialog::filterSelected, report_.get(),
                     [dialog = report_.get()](const QString& f) {
                       dialog->setDefaultSuffix(DefaultSuffixOf(f));
                     });
  }
  return RunDialog(*report_);
}

void QtMessageBoxes::Present(const std::string& text) {
  QMessageBox box(
      QMessageBox::NoIcon, kBoxTitle,
      QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
      QMessageBox::Ok, parent_);
  // Messages carry names and values from the input files: never markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace tessarin
