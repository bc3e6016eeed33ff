#include "app/plot_panel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cstdio>

#include "app/rich_view_widget.h"
#include "view/colors.h"

namespace tessarin {

namespace {

constexpr int kTickBand = 6;  // pixels of the site ticks at the bottom
constexpr int kEdge = 4;      // pixels of the bottom edge that resize
constexpr int kMinHeight = 24;
constexpr int kMaxHeight = 600;

QColor ShownColor(std::uint32_t value) {
  const std::optional<Rgb> rgb = ShownTextColor(value);
  return rgb ? QColor(rgb->red, rgb->green, rgb->blue) : QColor(Qt::black);
}

// The step that holds `column`, if any: the steps are in column order.
const PlotStep* StepAt(const PlotCurve& curve, std::uint64_t column) {
  const auto it =
      std::lower_bound(curve.steps.begin(), curve.steps.end(), column,
                       [](const PlotStep& step, std::uint64_t c) {
                         return step.last_column < c;
                       });
  if (it == curve.steps.end() || it->first_column > column) return nullptr;
  return &*it;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

}  // namespace

PlotPanel::PlotPanel(RichViewWidget& view) : QWidget(&view), view_(view) {
  hide();  // until shown as the view's header
  setObjectName(QStringLiteral("PlotPanel"));
  setMouseTracking(true);
  // The labels in the desktop's own small type, not the view's letters.
  QFont font = QGuiApplication::font();
  font.setPointSizeF(std::max(6.0, font.pointSizeF() - 1));
  setFont(font);
  setAutoFillBackground(true);
  QPalette colors = palette();
  colors.setColor(QPalette::Window, Qt::white);
  setPalette(colors);
  connect(view_.horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { update(); });
}

void PlotPanel::SetPlot(ConservationPlot plot) {
  plot_ = std::move(plot);
  update();
}

void PlotPanel::Show(bool shown) {
  shown_ = shown;
  view_.SetHeader(this, shown ? height_ : 0);
}

void PlotPanel::SetPanelHeight(int height) {
  height_ = std::clamp(height, kMinHeight, kMaxHeight);
  if (shown_) view_.SetHeader(this, height_);
}

std::uint64_t PlotPanel::FirstVisibleColumn() const {
  return std::max<std::uint64_t>(view_.ColumnAtX(0), 1);
}

std::string PlotPanel::HoverText(std::uint64_t column) const {
  std::string text = "Column " + std::to_string(column);
  for (const PlotCurve& curve : plot_.curves) {
    const PlotStep* step = StepAt(curve, column);
    text += "\n" + curve.name + ": " + (step ? Number(step->value) : "N/A");
  }
  return text;
}

void PlotPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (plot_.columns == 0 || plot_.curves.empty()) return;
  const std::uint64_t first = FirstVisibleColumn();
  const std::uint64_t last = std::min(
      plot_.columns, std::max<std::uint64_t>(view_.ColumnAtX(width()), first));
  const PlotSpan span = PlotForColumns(plot_, first, last);
  const int strips = static_cast<int>(span.curves.size());
  const int usable = std::max(0, height() - kTickBand - kEdge);
  for (int s = 0; s < strips; ++s) {
    const QRect strip(0, usable * s / strips, width(),
                      usable * (s + 1) / strips - usable * s / strips);
    PaintStrip(painter, span.curves[static_cast<std::size_t>(s)], strip);
  }
  PaintTicks(painter, QRect(0, usable, width(), kTickBand), span.ticks);
  if (const std::string note = PlotLegendNote(plot_); !note.empty()) {
    painter.setPen(QColor(120, 120, 120));
    painter.drawText(rect().adjusted(3, 1, -3, -1),
                     Qt::AlignRight | Qt::AlignTop,
                     QString::fromLatin1(note.c_str()));
  }
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

void PlotPanel::PaintStrip(QPainter& painter, const PlotCurveSpan& shown,
                           QRect strip) const {
  if (strip.height() < 3) return;
  const PlotCurve& curve = *shown.curve;
  // The passing windows, shaded.
  const QColor shade =
      curve.chosen ? QColor(255, 255, 160) : QColor(240, 240, 240);
  for (const ColumnRange& range : shown.shaded) {
    const int x0 = view_.ColumnX(range.first);
    const int x1 = view_.ColumnX(range.last + 1);
    painter.fillRect(QRect(x0, strip.top(), x1 - x0, strip.height()), shade);
  }
  auto y = [&](double value) {
    return strip.bottom() - 1 -
           static_cast<int>(PlotHeightShare(curve, value) *
                            (strip.height() - 3));
  };
  // The curve: a level per step and a riser where two steps meet.
  const QColor ink = curve.chosen ? QColor(0, 90, 160) : QColor(150, 150, 150);
  painter.setPen(QPen(ink, 1));
  for (const std::vector<PlotStep>& piece : shown.pieces) {
    for (std::size_t k = 0; k < piece.size(); ++k) {
      const int x0 = view_.ColumnX(piece[k].first_column);
      const int level = y(piece[k].value);
      painter.drawLine(x0, level, view_.ColumnX(piece[k].last_column + 1),
                       level);
      if (k > 0) painter.drawLine(x0, y(piece[k - 1].value), x0, level);
    }
  }
  if (curve.cutoff) {
    painter.setPen(
        QPen(curve.chosen ? QColor(200, 0, 0) : QColor(190, 150, 150), 1,
             Qt::DashLine));
    const int level = y(*curve.cutoff);
    painter.drawLine(strip.left(), level, strip.right(), level);
  }
  painter.setPen(curve.chosen ? Qt::black : QColor(140, 140, 140));
  painter.drawText(strip.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLocal8Bit(PlotCurveLabel(curve).c_str()));
  painter.setPen(QColor(220, 220, 220));
  painter.drawLine(strip.left(), strip.bottom(), strip.right(), strip.bottom());
}

void PlotPanel::PaintTicks(QPainter& painter, QRect band,
                           const std::vector<PlotTick>& ticks) const {
  for (const PlotTick& tick : ticks) {
    const int x0 = view_.ColumnX(tick.first_column);
    const int x1 = view_.ColumnX(tick.last_column + 1);
    painter.fillRect(
        QRect(x0, band.top() + 1, std::max(1, x1 - x0), band.height() - 2),
        ShownColor(tick.color));
  }
}

void PlotPanel::mousePressEvent(QMouseEvent* event) {
  const int y = static_cast<int>(event->position().y());
  if (event->button() != Qt::LeftButton) return;
  if (y >= height() - kEdge) {
    resize_from_ = y;
    return;
  }
  const std::uint64_t column =
      view_.ColumnAtX(static_cast<int>(event->position().x()));
  if (column >= 1 && column <= plot_.columns && on_column_clicked) {
    on_column_clicked(column);
  }
}

void PlotPanel::mouseMoveEvent(QMouseEvent* event) {
  const int y = static_cast<int>(event->position().y());
  if (resize_from_) {
    SetPanelHeight(y);
    return;
  }
  setCursor(y >= height() - kEdge ? Qt::SizeVerCursor : Qt::ArrowCursor);
  const std::uint64_t column =
      view_.ColumnAtX(static_cast<int>(event->position().x()));
  if (column >= 1 && column <= plot_.columns && !plot_.curves.empty()) {
    QToolTip::showText(event->globalPosition().toPoint(),
                       QString::fromLocal8Bit(HoverText(column).c_str()), this);
  } else {
    QToolTip::hideText();
  }
}

void PlotPanel::mouseReleaseEvent(QMouseEvent*) { resize_from_.reset(); }

}  // namespace tessarin
