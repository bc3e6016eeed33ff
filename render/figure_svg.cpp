#include <QIODevice>
#include <QString>
#include <QXmlStreamWriter>
#include <optional>
#include <stdexcept>

#include "render/figure_files.h"
#include "view/html_runs.h"

namespace tessarin {

namespace {

QString Number(double units) {
  return QString::number(units / kUnitsPerPoint, 'f', 2);
}

QString Color(Rgb rgb) { return QString::fromStdString(CssColor(rgb)); }

QString ClassOf(FigureLineKind kind) {
  switch (kind) {
    case FigureLineKind::kRulerNumbers:
    case FigureLineKind::kRulerTicks:
      return QStringLiteral("ruler");
    case FigureLineKind::kLabels:
      return QStringLiteral("labels");
    case FigureLineKind::kSequence:
      break;
  }
  return QStringLiteral("row");
}

void WriteLookAttributes(QXmlStreamWriter& svg, const Appearance& look) {
  if (look.text) svg.writeAttribute(QStringLiteral("fill"), Color(*look.text));
  if (look.bold) svg.writeAttribute(QStringLiteral("font-weight"), "bold");
  if (look.italic) svg.writeAttribute(QStringLiteral("font-style"), "italic");
  QString decoration;
  if (look.underline) decoration += QStringLiteral("underline");
  if (look.strike_out) {
    if (!decoration.isEmpty()) decoration += QLatin1Char(' ');
    decoration += QStringLiteral("line-through");
  }
  if (!decoration.isEmpty()) {
    svg.writeAttribute(QStringLiteral("text-decoration"), decoration);
  }
}

bool LooksPlain(const Appearance& look) {
  return !look.text && !look.bold && !look.italic && !look.underline &&
         !look.strike_out;
}

// One line of text at (left, top) whose pieces are given by `pieces`, which
// calls its argument with (column, text, look) in column order: one text
// element, marked pieces as tspans, gaps between pieces as blanks.
template <typename Pieces>
void WriteTextLine(QXmlStreamWriter& svg, const QString& kind, double points,
                   const FigureMetrics& metrics, double left, double top,
                   Pieces&& pieces) {
  QString plain;
  std::size_t columns = 0;
  pieces([&](std::size_t column, std::string_view text, const Appearance&) {
    columns = column + text.size();
  });
  if (columns == 0) return;
  svg.writeStartElement(QStringLiteral("text"));
  svg.writeAttribute(QStringLiteral("class"), kind);
  svg.writeAttribute(QStringLiteral("x"), Number(left));
  svg.writeAttribute(QStringLiteral("y"), Number(top + metrics.ascent));
  svg.writeAttribute(QStringLiteral("font-size"),
                     QString::number(points, 'f', 2));
  svg.writeAttribute(QStringLiteral("textLength"),
                     Number(static_cast<double>(columns) * metrics.cell));
  svg.writeAttribute(QStringLiteral("lengthAdjust"),
                     QStringLiteral("spacingAndGlyphs"));
  svg.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
  std::size_t at = 0;
  pieces(
      [&](std::size_t column, std::string_view text, const Appearance& look) {
        if (column > at)
          svg.writeCharacters(QString(column - at, QLatin1Char(' ')));
        if (LooksPlain(look)) {
          svg.writeCharacters(FigureText(text));
        } else {
          svg.writeStartElement(QStringLiteral("tspan"));
          WriteLookAttributes(svg, look);
          svg.writeCharacters(FigureText(text));
          svg.writeEndElement();
        }
        at = column + text.size();
      });
  svg.writeEndElement();
  svg.writeCharacters(QStringLiteral("\n"));
}

void WriteRect(QXmlStreamWriter& svg, double x, double y, double width,
               double height, Rgb fill) {
  svg.writeEmptyElement(QStringLiteral("rect"));
  svg.writeAttribute(QStringLiteral("class"), QStringLiteral("window"));
  svg.writeAttribute(QStringLiteral("x"), Number(x));
  svg.writeAttribute(QStringLiteral("y"), Number(y));
  svg.writeAttribute(QStringLiteral("width"), Number(width));
  svg.writeAttribute(QStringLiteral("height"), Number(height));
  svg.writeAttribute(QStringLiteral("fill"), Color(fill));
  svg.writeCharacters(QStringLiteral("\n"));
}

// The backgrounds of a line's pieces, one rectangle per piece with one.
template <typename Pieces>
void WriteBackgrounds(QXmlStreamWriter& svg, const FigureMetrics& metrics,
                      double left, double top, Pieces&& pieces) {
  // Neighbouring pieces of one background (a mark inside a window) make one
  // span.
  std::optional<Rgb> back;
  std::size_t from = 0;
  std::size_t to = 0;
  const auto flush = [&] {
    if (back) {
      WriteRect(svg, left + static_cast<double>(from) * metrics.cell, top,
                static_cast<double>(to - from) * metrics.cell, metrics.line,
                *back);
    }
  };
  pieces(
      [&](std::size_t column, std::string_view text, const Appearance& look) {
        if (look.back && back && *look.back == *back && column == to) {
          to = column + text.size();
          return;
        }
        flush();
        back = look.back;
        from = column;
        to = column + text.size();
      });
  flush();
}

}  // namespace

void WriteFigureSvg(const FigureDocument& figure, QIODevice& out,
                    const BlockStrip* strip) {
  const FigurePlan plan = PicturePlan(figure, strip);
  const QSizeF size = PictureSizePoints(plan);
  const double margin = kPictureMarginPoints * kUnitsPerPoint;

  QXmlStreamWriter svg(&out);
  svg.writeStartDocument();
  svg.writeStartElement(QStringLiteral("svg"));
  svg.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
  svg.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
  const QString width = QString::number(size.width(), 'f', 2);
  const QString height = QString::number(size.height(), 'f', 2);
  svg.writeAttribute(QStringLiteral("width"), width + QStringLiteral("pt"));
  svg.writeAttribute(QStringLiteral("height"), height + QStringLiteral("pt"));
  svg.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 ") + width +
                                                    QLatin1Char(' ') + height);
  svg.writeCharacters(QStringLiteral("\n"));
  svg.writeTextElement(QStringLiteral("title"),
                       FigureText(figure.provenance.title));
  svg.writeCharacters(QStringLiteral("\n"));
  svg.writeTextElement(QStringLiteral("style"),
                       QStringLiteral("text { font-family: '") +
                           QString::fromLatin1(kFigureFontFamily) +
                           QStringLiteral("', ") +
                           QString::fromLatin1(kFigureFontFallback) +
                           QStringLiteral("; white-space: pre; }"));
  svg.writeCharacters(QStringLiteral("\n"));
  svg.writeEmptyElement(QStringLiteral("rect"));
  svg.writeAttribute(QStringLiteral("width"), QStringLiteral("100%"));
  svg.writeAttribute(QStringLiteral("height"), QStringLiteral("100%"));
  svg.writeAttribute(QStringLiteral("fill"), QStringLiteral("#ffffff"));
  svg.writeCharacters(QStringLiteral("\n"));

  svg.writeStartElement(QStringLiteral("g"));
  svg.writeAttribute(QStringLiteral("class"), QStringLiteral("header"));
  svg.writeCharacters(QStringLiteral("\n"));
  double y = margin;
  for (std::size_t i = 0; i < plan.HeaderLines().size(); ++i) {
    const bool title = i < plan.TitleLineCount();
    const FigureMetrics& metrics = title ? plan.Title() : plan.Header();
    const HeaderLine& line = plan.HeaderLines()[i];
    const auto pieces = [&](auto&& piece) {
      for (const HeaderSpan& span : line) {
        Appearance look = span.look;
        if (title) look.bold = true;
        piece(span.column, span.text, look);
      }
    };
    WriteBackgrounds(svg, metrics, margin, y, pieces);
    WriteTextLine(svg,
                  title ? QStringLiteral("title") : QStringLiteral("header"),
                  title ? plan.TitlePoints() : plan.HeaderPoints(), metrics,
                  margin, y, pieces);
    y += metrics.line;
  }
  svg.writeEndElement();
  svg.writeCharacters(QStringLiteral("\n"));
  y = margin + plan.HeaderHeight();

  const FigureMetrics& metrics = plan.Text();
  for (std::size_t b = 0; b < figure.layout.blocks.size(); ++b) {
    const FigureBlock& block = figure.layout.blocks[b];
    svg.writeStartElement(QStringLiteral("g"));
    svg.writeAttribute(QStringLiteral("class"), QStringLiteral("block"));
    svg.writeAttribute(QStringLiteral("data-first-column"),
                       QString::number(block.first_column));
    svg.writeCharacters(QStringLiteral("\n"));
    double top = y;
    if (const BlockStrip* above = plan.Strip()) {
      const double height = above->Height(block, metrics);
      if (height > 0) {
        above->WriteSvg(svg, block, metrics, margin + plan.ColumnsLeft(), top);
        top += height;
      }
    }
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
      const FigureLine& line = block.lines[i];
      if (line.kind != FigureLineKind::kSequence) continue;
      WriteBackgrounds(svg, metrics, margin,
                       top + static_cast<double>(i) * metrics.line,
                       [&](auto&& piece) {
                         ForEachFigurePiece(figure, block, line, piece);
                       });
    }
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
      const FigureLine& line = block.lines[i];
      WriteTextLine(svg, ClassOf(line.kind), plan.TextPoints(), metrics, margin,
                    top + static_cast<double>(i) * metrics.line,
                    [&](auto&& piece) {
                      ForEachFigurePiece(figure, block, line, piece);
                    });
    }
    svg.writeEndElement();
    svg.writeCharacters(QStringLiteral("\n"));
    y += plan.BlockHeight(b);
  }
  svg.writeEndElement();
  svg.writeCharacters(QStringLiteral("\n"));
  svg.writeEndDocument();
  if (svg.hasError()) throw std::runtime_error("Cannot write the SVG picture");
}

}  // namespace tessarin
