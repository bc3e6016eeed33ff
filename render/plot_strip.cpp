#include "render/plot_strip.h"

#include <QPainter>
#include <QPainterPath>
#include <QXmlStreamWriter>

#include "view/colors.h"
#include "view/html_runs.h"

namespace tessarin {

namespace {

// Heights in lines of the block's text.
constexpr double kStripLines = 2.5;
constexpr double kTickLines = 0.6;

// Where things go in one block's strip, in the figure's units.
struct StripGeometry {
  const FigureBlock& block;
  const FigureMetrics& metrics;
  double left;
  double top;

  double X(std::uint64_t column) const {
    return left +
           static_cast<double>(column - block.first_column) * metrics.cell;
  }
  double Width(std::uint64_t first, std::uint64_t last) const {
    return static_cast<double>(last - first + 1) * metrics.cell;
  }
  double StripTop(std::size_t s) const {
    return top + static_cast<double>(s) * StripHeight();
  }
  double StripHeight() const { return kStripLines * metrics.line; }
  double Y(const PlotCurve& curve, std::size_t s, double value) const {
    const double margin = 0.15 * StripHeight();
    return StripTop(s) + StripHeight() - margin -
           PlotHeightShare(curve, value) * (StripHeight() - 2 * margin);
  }
  double TickTop(std::size_t curves) const {
    return StripTop(curves) + 0.1 * metrics.line;
  }
  double TickHeight() const { return (kTickLines - 0.2) * metrics.line; }
};

PlotSpan SpanOf(const ConservationPlot& plot, const FigureBlock& block) {
  return PlotForColumns(plot, block.first_column,
                        block.first_column + block.column_count - 1);
}

QColor Shade(const PlotCurve& curve) {
  return curve.chosen ? QColor(255, 255, 160) : QColor(238, 238, 238);
}
QColor Ink(const PlotCurve& curve) {
  return curve.chosen ? QColor(0, 90, 160) : QColor(153, 153, 153);
}
QColor CutoffInk(const PlotCurve& curve) {
  return curve.chosen ? QColor(200, 0, 0) : QColor(192, 160, 160);
}
QColor TickColor(const PlotTick& tick) {
  const std::optional<Rgb> rgb = ShownTextColor(tick.color);
  return rgb ? QColor(rgb->red, rgb->green, rgb->blue) : QColor(Qt::black);
}

// The curve's pieces as one path: a level per step, a riser between steps.
QPainterPath CurvePath(const StripGeometry& at, const PlotCurveSpan& shown,
                       std::size_t s) {
  QPainterPath path;
  for (const std::vector<PlotStep>& piece : shown.pieces) {
    path.moveTo(at.X(piece.front().first_column),
                at.Y(*shown.curve, s, piece.front().value));
    for (const PlotStep& step : piece) {
      path.lineTo(at.X(step.first_column), at.Y(*shown.curve, s, step.value));
      path.lineTo(at.X(step.last_column + 1),
                  at.Y(*shown.curve, s, step.value));
    }
  }
  return path;
}

QString Number(double units) {
  return QString::number(units / kUnitsPerPoint, 'f', 2);
}

QString Css(const QColor& color) { return color.name(); }

}  // namespace

double PlotStrip::Height(const FigureBlock&,
                         const FigureMetrics& metrics) const {
  if (plot_.curves.empty()) return 0;
  return (static_cast<double>(plot_.curves.size()) * kStripLines + kTickLines) *
         metrics.line;
}

void PlotStrip::Paint(QPainter& painter, const FigureBlock& block,
                      const FigureMetrics& metrics, double left,
                      double top) const {
  const StripGeometry at{block, metrics, left, top};
  const PlotSpan span = SpanOf(plot_, block);
  QFont label_font(QStringLiteral("DejaVu Sans"));
  label_font.setPixelSize(static_cast<int>(0.7 * metrics.line));
  for (std::size_t s = 0; s < span.curves.size(); ++s) {
    const PlotCurveSpan& shown = span.curves[s];
    const PlotCurve& curve = *shown.curve;
    for (const ColumnRange& range : shown.shaded) {
      painter.fillRect(
          QRectF(at.X(range.first), at.StripTop(s),
                 at.Width(range.first, range.last), at.StripHeight()),
          Shade(curve));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Ink(curve), 0.75 * kUnitsPerPoint));
    painter.drawPath(CurvePath(at, shown, s));
    if (curve.cutoff) {
      QPen dashed(CutoffInk(curve), 0.6 * kUnitsPerPoint, Qt::DashLine);
      painter.setPen(dashed);
      const double y = at.Y(curve, s, *curve.cutoff);
      painter.drawLine(
          QPointF(at.X(block.first_column), y),
          QPointF(at.X(block.first_column + block.column_count), y));
    }
    painter.setFont(label_font);
    painter.setPen(curve.chosen ? QColor(Qt::black) : Ink(curve));
    painter.drawText(QPointF(left + 0.3 * metrics.cell,
                             at.StripTop(s) + 0.75 * metrics.line),
                     QString::fromLatin1(PlotCurveLabel(curve).c_str()));
    // The axis: the strip's greatest and least value before column 1.
    painter.setPen(QColor(102, 102, 102));
    const QRectF axis(left - 8 * metrics.cell, at.StripTop(s),
                      7.7 * metrics.cell, at.StripHeight());
    painter.drawText(axis, Qt::AlignRight | Qt::AlignTop,
                     QString::fromLatin1(PlotAxisTop(curve).c_str()));
    painter.drawText(axis, Qt::AlignRight | Qt::AlignBottom,
                     QString::fromLatin1(PlotAxisBottom(curve).c_str()));
  }
  for (const PlotTick& tick : span.ticks) {
    painter.fillRect(
        QRectF(at.X(tick.first_column), at.TickTop(span.curves.size()),
               at.Width(tick.first_column, tick.last_column), at.TickHeight()),
        TickColor(tick));
  }
}

void PlotStrip::WriteSvg(QXmlStreamWriter& svg, const FigureBlock& block,
                         const FigureMetrics& metrics, double left,
                         double top) const {
  const StripGeometry at{block, metrics, left, top};
  const PlotSpan span = SpanOf(plot_, block);
  auto rect = [&](const QString& kind, double x, double y, double width,
                  double height, const QColor& fill) {
    svg.writeEmptyElement(QStringLiteral("rect"));
    svg.writeAttribute(QStringLiteral("class"), kind);
    svg.writeAttribute(QStringLiteral("x"), Number(x));
    svg.writeAttribute(QStringLiteral("y"), Number(y));
    svg.writeAttribute(QStringLiteral("width"), Number(width));
    svg.writeAttribute(QStringLiteral("height"), Number(height));
    svg.writeAttribute(QStringLiteral("fill"), Css(fill));
  };
  svg.writeStartElement(QStringLiteral("g"));
  svg.writeAttribute(QStringLiteral("class"), QStringLiteral("plot"));
  for (std::size_t s = 0; s < span.curves.size(); ++s) {
    const PlotCurveSpan& shown = span.curves[s];
    const PlotCurve& curve = *shown.curve;
    svg.writeStartElement(QStringLiteral("g"));
    svg.writeAttribute(QStringLiteral("class"), QStringLiteral("strip"));
    for (const ColumnRange& range : shown.shaded) {
      rect(QStringLiteral("conserved"), at.X(range.first), at.StripTop(s),
           at.Width(range.first, range.last), at.StripHeight(), Shade(curve));
    }
    QString path;
    for (const std::vector<PlotStep>& piece : shown.pieces) {
      path += QStringLiteral("M") + Number(at.X(piece.front().first_column)) +
              QLatin1Char(' ') + Number(at.Y(curve, s, piece.front().value));
      for (const PlotStep& step : piece) {
        const QString y = Number(at.Y(curve, s, step.value));
        path += QStringLiteral("V") + y + QStringLiteral("H") +
                Number(at.X(step.last_column + 1));
      }
    }
    svg.writeEmptyElement(QStringLiteral("path"));
    svg.writeAttribute(QStringLiteral("class"), QStringLiteral("curve"));
    svg.writeAttribute(QStringLiteral("d"), path);
    svg.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    svg.writeAttribute(QStringLiteral("stroke"), Css(Ink(curve)));
    svg.writeAttribute(QStringLiteral("stroke-width"), QStringLiteral("0.75"));
    if (curve.cutoff) {
      const QString y = Number(at.Y(curve, s, *curve.cutoff));
      svg.writeEmptyElement(QStringLiteral("line"));
      svg.writeAttribute(QStringLiteral("class"), QStringLiteral("cutoff"));
      svg.writeAttribute(QStringLiteral("x1"),
                         Number(at.X(block.first_column)));
      svg.writeAttribute(QStringLiteral("x2"),
                         Number(at.X(block.first_column + block.column_count)));
      svg.writeAttribute(QStringLiteral("y1"), y);
      svg.writeAttribute(QStringLiteral("y2"), y);
      svg.writeAttribute(QStringLiteral("stroke"), Css(CutoffInk(curve)));
      svg.writeAttribute(QStringLiteral("stroke-width"), QStringLiteral("0.6"));
      svg.writeAttribute(QStringLiteral("stroke-dasharray"),
                         QStringLiteral("3 2"));
    }
    svg.writeStartElement(QStringLiteral("text"));
    svg.writeAttribute(QStringLiteral("class"), QStringLiteral("label"));
    svg.writeAttribute(QStringLiteral("x"), Number(left + 0.3 * metrics.cell));
    svg.writeAttribute(QStringLiteral("y"),
                       Number(at.StripTop(s) + 0.75 * metrics.line));
    svg.writeAttribute(QStringLiteral("font-family"),
                       QStringLiteral("DejaVu Sans, sans-serif"));
    svg.writeAttribute(QStringLiteral("font-size"), Number(0.7 * metrics.line));
    svg.writeCharacters(QString::fromLatin1(PlotCurveLabel(curve).c_str()));
    svg.writeEndElement();  // text
    // The axis: the strip's greatest and least value before column 1.
    for (const auto& [text, y] :
         {std::pair{PlotAxisTop(curve), at.StripTop(s) + 0.6 * metrics.line},
          std::pair{PlotAxisBottom(curve),
                    at.StripTop(s) + at.StripHeight() - 0.1 * metrics.line}}) {
      svg.writeStartElement(QStringLiteral("text"));
      svg.writeAttribute(QStringLiteral("class"), QStringLiteral("axis"));
      svg.writeAttribute(QStringLiteral("x"),
                         Number(left - 0.3 * metrics.cell));
      svg.writeAttribute(QStringLiteral("y"), Number(y));
      svg.writeAttribute(QStringLiteral("text-anchor"), QStringLiteral("end"));
      svg.writeAttribute(QStringLiteral("font-family"),
                         QStringLiteral("DejaVu Sans, sans-serif"));
      svg.writeAttribute(QStringLiteral("font-size"),
                         Number(0.55 * metrics.line));
      svg.writeAttribute(QStringLiteral("fill"), QStringLiteral("#666666"));
      svg.writeCharacters(QString::fromLatin1(text.c_str()));
      svg.writeEndElement();
    }
    svg.writeEndElement();  // g.strip
  }
  for (const PlotTick& tick : span.ticks) {
    rect(QStringLiteral("site"), at.X(tick.first_column),
         at.TickTop(span.curves.size()),
         at.Width(tick.first_column, tick.last_column), at.TickHeight(),
         TickColor(tick));
  }
  svg.writeEndElement();  // g.plot
}

}  // namespace tessarin
