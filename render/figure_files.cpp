#include "render/figure_files.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace tessarin {

namespace {

constexpr double kUnitsPerInch = 72 * kUnitsPerPoint;

// A stream as a write-only device.
class StreamDevice : public QIODevice {
 public:
  explicit StreamDevice(std::ostream& out) : out_(out) {
    open(QIODevice::WriteOnly);
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 length) override {
    out_.write(data, static_cast<std::streamsize>(length));
    return out_ ? length : -1;
  }

 private:
  std::ostream& out_;
};

// Passes a PDF on to `out`, with the time of writing that Qt stamps into
// the document information replaced by the document's own date (which
// SOURCE_DATE_EPOCH fixes), so that two runs give the same bytes. The
// stamp comes in the first object; only the bytes before kDatedPrefix are
// held back to find it, and the replacement has the same length, so no
// offset in the file moves.
class DatedPdfDevice : public QIODevice {
 public:
  DatedPdfDevice(QIODevice& out, const std::string& iso_date) : out_(out) {
    // 2026-12-08T15:04:05Z gives D:20261208150405Z.
    if (iso_date.size() == 20) {
      for (const char c : iso_date) {
        if (c >= '0' && c <= '9') stamp_ += c;
      }
    }
    if (stamp_.size() == 14)
      stamp_ = "D:" + stamp_ + "Z";
    else
      stamp_.clear();
    open(QIODevice::WriteOnly);
  }
  ~DatedPdfDevice() override { Release(); }

  // Writes what is held back; true when every write succeeded.
  bool Release() {
    if (released_) return good_;
    released_ = true;
    const QByteArray key = QByteArrayLiteral("/CreationDate (");
    const qsizetype at = held_.indexOf(key);
    if (at >= 0 && !stamp_.empty() &&
        at + key.size() + static_cast<qsizetype>(stamp_.size()) <=
            held_.size() &&
        held_.mid(at + key.size(), 2) == "D:" &&
        held_.at(at + key.size() + 16) == 'Z') {
      held_.replace(at + key.size(), static_cast<qsizetype>(stamp_.size()),
                    QByteArray::fromStdString(stamp_));
    }
    good_ = out_.write(held_) == held_.size();
    held_.clear();
    return good_;
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 length) override {
    if (!released_) {
      held_.append(data, static_cast<qsizetype>(length));
      if (held_.size() >= kDatedPrefix && !Release()) return -1;
      return length;
    }
    return out_.write(data, length) == length ? length : -1;
  }

 private:
  static constexpr qsizetype kDatedPrefix = 4096;
  QIODevice& out_;
  std::string stamp_;
  QByteArray held_;
  bool released_ = false;
  bool good_ = true;
};

// The offscreen platform warns that it has no runtime folder, which it does
// not need; every other message of Qt goes on as usual.
QtMessageHandler g_default_handler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context,
                  const QString& message) {
  if (type == QtWarningMsg &&
      message.startsWith(QStringLiteral("QStandardPaths:")))
    return;
  if (g_default_handler != nullptr) g_default_handler(type, context, message);
}

// Draws in units on a device of `dpi` dots per inch.
void ScaleToUnits(QPainter& painter, double dpi_x, double dpi_y) {
  painter.scale(dpi_x / kUnitsPerInch, dpi_y / kUnitsPerInch);
}

}  // namespace

void PaintFigurePages(const FigureDocument& figure, QPagedPaintDevice& device,
                      const BlockStrip* strip) {
  const QRectF page = device.pageLayout().paintRectPoints();
  const double width = page.width() * kUnitsPerPoint;
  const double height = page.height() * kUnitsPerPoint;
  const FigureMetrics header = MeasureFigureFont(kPageHeaderPoints);
  const auto header_columns =
      static_cast<std::size_t>(std::max(1.0, std::floor(width / header.cell)));

  // The blocks' size: measured at kFigureTextPoints, then scaled down until
  // the widest and the tallest block fit.
  double points = kFigureTextPoints;
  {
    const FigurePlan trial(figure, points, kPageHeaderPoints, header_columns,
                           strip);
    double scale = 1;
    if (trial.BlocksWidth() > 0) {
      scale = std::min(scale, width / trial.BlocksWidth());
    }
    for (std::size_t i = 0; i < figure.layout.blocks.size(); ++i) {
      const double tallest = trial.BlockHeight(i) - trial.Text().line;
      if (tallest > 0) scale = std::min(scale, height / tallest);
    }
    points *= scale;
  }
  const FigurePlan plan(figure, points, kPageHeaderPoints, header_columns,
                        strip);

  QPainter painter;
  if (!painter.begin(&device)) {
    throw std::runtime_error("Cannot start drawing the pages");
  }
  ScaleToUnits(painter, device.logicalDpiX(), device.logicalDpiY());
  painter.setRenderHint(QPainter::TextAntialiasing);
  PaintFigureHeader(painter, plan, 0, 0);
  double y = plan.HeaderHeight();
  for (std::size_t i = 0; i < figure.layout.blocks.size(); ++i) {
    const double block = plan.BlockHeight(i);
    if (y > 0 && y + block - plan.Text().line > height) {
      device.newPage();
      y = 0;
    }
    PaintFigureBlock(painter, plan, i, 0, y);
    y += block;
  }
  painter.end();
}

void WriteFigurePdf(const FigureDocument& figure,
                    const RenderSettings& settings, QIODevice& out,
                    const BlockStrip* strip) {
  DatedPdfDevice dated(out, figure.provenance.date);
  QPdfWriter writer(&dated);
  writer.setResolution(static_cast<int>(kUnitsPerInch));
  writer.setCreator(QString::fromLatin1(
      figure.provenance.program.data(),
      static_cast<qsizetype>(figure.provenance.program.size())));
  writer.setTitle(FigureText(figure.provenance.title));
  const QPageLayout layout(
      QPageSize(settings.page == PageSize::kLetter ? QPageSize::Letter
                                                   : QPageSize::A4),
      settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(kPageMarginPoints, kPageMarginPoints, kPageMarginPoints,
                kPageMarginPoints),
      QPageLayout::Point);
  writer.setPageLayout(layout);
  PaintFigurePages(figure, writer, strip);
  if (!dated.Release()) throw std::runtime_error("Cannot write the PDF");
}

FigurePlan PicturePlan(const FigureDocument& figure, const BlockStrip* strip) {
  return FigurePlan(figure, kFigureTextPoints, kFigureTextPoints,
                    std::max(FigureWidth(figure.layout), kMinHeaderColumns),
                    strip);
}

QSizeF PictureSizePoints(const FigurePlan& plan) {
  const auto header_columns = static_cast<double>(
      std::max(FigureWidth(plan.Figure().layout), kMinHeaderColumns));
  double width =
      std::max(plan.BlocksWidth(), header_columns * plan.Header().cell);
  double height = plan.HeaderHeight();
  for (std::size_t i = 0; i < plan.Figure().layout.blocks.size(); ++i) {
    height += plan.BlockHeight(i);
  }
  return QSizeF(width / kUnitsPerPoint + 2 * kPictureMarginPoints,
                height / kUnitsPerPoint + 2 * kPictureMarginPoints);
}

QImage PaintFigureImage(const FigureDocument& figure, int dpi,
                        const BlockStrip* strip) {
  if (dpi < kMinFigureDpi || dpi > kMaxFigureDpi) {
    throw std::invalid_argument("A PNG is drawn at " +
                                std::to_string(kMinFigureDpi) + " to " +
                                std::to_string(kMaxFigureDpi) + " dpi");
  }
  const FigurePlan plan = PicturePlan(figure, strip);
  const QSizeF points = PictureSizePoints(plan);
  const double width = std::ceil(points.width() * dpi / 72);
  const double height = std::ceil(points.height() * dpi / 72);
  if (width * height > static_cast<double>(kMaxPicturePixels)) {
    throw std::runtime_error(
        "The figure would be " + std::to_string(std::llround(width)) + " x " +
        std::to_string(std::llround(height)) + " pixels at " +
        std::to_string(dpi) + " dpi, over the limit of " +
        std::to_string(kMaxPicturePixels) +
        " pixels; choose a lower resolution or PDF");
  }
  QImage image(static_cast<int>(width), static_cast<int>(height),
               QImage::Format_RGB32);
  if (image.isNull()) throw std::bad_alloc();
  image.fill(Qt::white);
  const int dots_per_meter = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  ScaleToUnits(painter, dpi, dpi);
  const double margin = kPictureMarginPoints * kUnitsPerPoint;
  PaintFigureHeader(painter, plan, margin, margin);
  double y = margin + plan.HeaderHeight();
  for (std::size_t i = 0; i < figure.layout.blocks.size(); ++i) {
    PaintFigureBlock(painter, plan, i, margin, y);
    y += plan.BlockHeight(i);
  }
  painter.end();
  return image;
}

QtFigureRenderer::QtFigureRenderer(const BlockStrip* strip) : strip_(strip) {}

QtFigureRenderer::~QtFigureRenderer() = default;

void QtFigureRenderer::Render(const FigureDocument& figure,
                              RenderedFormat format,
                              const RenderSettings& settings,
                              std::ostream& out) {
  if (QCoreApplication::instance() == nullptr) {
    // Arguments that outlive the application, as Qt requires.
    static int argc = 3;
    static char name[] = "tessarin";
    static char platform_option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platform_option, platform, nullptr};
    g_default_handler = qInstallMessageHandler(QuietHandler);
    application_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  StreamDevice device(out);
  switch (format) {
    case RenderedFormat::kPdf:
      WriteFigurePdf(figure, settings, device, strip_);
      return;
    case RenderedFormat::kSvg:
      WriteFigureSvg(figure, device, strip_);
      return;
    case RenderedFormat::kPng: {
      const QImage image = PaintFigureImage(figure, settings.dpi, strip_);
      if (!image.save(&device, "PNG")) {
        throw std::runtime_error("Cannot write the PNG picture");
      }
      return;
    }
  }
}

}  // namespace tessarin
