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
  const int strips = static_cast<int>(plot_.curves.size());
  const int usable = std::max(0, height() - kTickBand - kEdge);
  for (int s = 0; s < strips; ++s) {
    const QRect strip(0, usable * s / strips, width(),
                      usable * (s + 1) / strips - usable * s / strips);
    PaintStrip(painter, plot_.curves[static_cast<std::size_t>(s)], strip, first,
               last);
  }
  PaintTicks(painter, QRect(0, usable, width(), kTickBand), first, last);
  if (const std::string note = PlotLegendNote(plot_); !note.empty()) {
    painter.setPen(QColor(120, 120, 120));
    painter.drawText(rect().adjusted(3, 1, -3, -1),
                     Qt::AlignRight | Qt::AlignTop,
                     QString::fromLatin1(note.c_str()));
  }
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

void PlotPanel::PaintStrip(QPainter& painter, const PlotCurve& curve,
                           QRect strip, std::uint64_t first,
                           std::uint64_t last) const {
  if (strip.height() < 3) return;
  // The passing windows, shaded.
  const QColor shade =
      curve.chosen ? QColor(255, 255, 160) : QColor(240, 240, 240);
  auto range = std::lower_bound(
      plot_.passing.begin(), plot_.passing.end(), first,
      [](const ColumnRange& r, std::uint64_t c) { return r.last < c; });
  for (; range != plot_.passing.end() && range->first <= last; ++range) {
    const int x0 = view_.ColumnX(std::max(range->first, first));
    const int x1 = view_.ColumnX(std::min(range->last, last) + 1);
    painter.fillRect(QRect(x0, strip.top(), x1 - x0, strip.height()), shade);
  }
  const double span = curve.high > curve.low ? curve.high - curve.low : 1.0;
  const double low = curve.high > curve.low ? curve.low : curve.low - 0.5;
  auto y = [&](double value) {
    const double share = (value - low) / span;
    return strip.bottom() - 1 - static_cast<int>(share * (strip.height() - 3));
  };
  // The curve: a level per step and a riser where two steps meet.
  const QColor ink = curve.chosen ? QColor(0, 90, 160) : QColor(150, 150, 150);
  painter.setPen(QPen(ink, 1));
  auto step = std::lower_bound(
      curve.steps.begin(), curve.steps.end(), first,
      [](const PlotStep& s, std::uint64_t c) { return s.last_column < c; });
  const PlotStep* previous = nullptr;
  for (; step != curve.steps.end() && step->first_column <= last; ++step) {
    const int x0 = view_.ColumnX(std::max(step->first_column, first));
    const int x1 = view_.ColumnX(std::min(step->last_column, last) + 1);
    const int level = y(step->value);
    painter.drawLine(x0, level, x1, level);
    if (previous != nullptr &&
        previous->last_column + 1 == step->first_column) {
      painter.drawLine(x0, y(previous->value), x0, level);
    }
    previous = &*step;
  }
  if (curve.cutoff) {
    painter.setPen(
        QPen(curve.chosen ? QColor(200, 0, 0) : QColor(190, 150, 150), 1,
             Qt::DashLine));
    const int level = y(*curve.cutoff);
    painter.drawLine(strip.left(), level, strip.right(), level);
  }
  painter.setPen(curve.chosen ? Qt::black : QColor(140, 140, 140));
  std::string label = curve.name;
  if (curve.cutoff) label += " < " + Number(*curve.cutoff);
  painter.drawText(strip.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLocal8Bit(label.c_str()));
  painter.setPen(QColor(220, 220, 220));
  painter.drawLine(strip.left(), strip.bottom(), strip.right(), strip.bottom());
}

void PlotPanel::PaintTicks(QPainter& painter, QRect band, std::uint64_t first,
                           std::uint64_t last) const {
  const std::uint64_t from =
      first > plot_.widest_tick ? first - plot_.widest_tick : 0;
  auto tick = std::lower_bound(
      plot_.ticks.begin(), plot_.ticks.end(), from,
      [](const PlotTick& t, std::uint64_t c) { return t.first_column < c; });
  for (; tick != plot_.ticks.end() && tick->first_column <= last; ++tick) {
    if (tick->last_column < first) continue;
    const int x0 = view_.ColumnX(tick->first_column);
    const int x1 = view_.ColumnX(tick->last_column + 1);
    painter.fillRect(
        QRect(x0, band.top() + 1, std::max(1, x1 - x0), band.height() - 2),
        ShownColor(tick->color));
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
