// Painting a figure (view/figure_document.h) with Qt's painter: its header
// (title, where it came from, legend) and its blocks in a fixed-pitch font,
// each character in its own cell, so that columns line up on every device.
// The PDF, PNG, SVG and print outputs all place things by this one plan.
//
// Lengths are in units of 1/kUnitsPerPoint point: fonts are sized in whole
// pixels, and pixels this small keep the font's advances exact enough that a
// column's position never drifts along a row.
#ifndef TESSARIN_RENDER_FIGURE_PAINTER_H_
#define TESSARIN_RENDER_FIGURE_PAINTER_H_

#include <QFont>
#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "view/colors.h"
#include "view/figure_document.h"

class QPainter;
class QXmlStreamWriter;

namespace tessarin {

inline constexpr double kUnitsPerPoint = 100;
// The blocks' font: a fixed-pitch face that ships with the system (Debian's
// fonts-dejavu-core), with the generic family as the fallback.
inline constexpr const char* kFigureFontFamily = "DejaVu Sans Mono";
inline constexpr const char* kFigureFontFallback = "monospace";
// Sizes in points.
inline constexpr double kFigureTextPoints = 9;
inline constexpr double kFigureTitleScale = 1.5;
// The header is wrapped at the blocks' width, but never narrower than this
// many characters.
inline constexpr std::size_t kMinHeaderColumns = 60;

// The figure's font at `points`, in pixels of 1/kUnitsPerPoint point, in
// the look of `look` (bold, italic, underline, strike-out).
QFont FigureFont(double points, const Appearance& look = {});

// Document bytes as characters: Latin-1, with every control byte shown as
// U+FFFD so that each byte keeps its one cell.
QString FigureText(std::string_view bytes);

struct FigureMetrics {
  double cell = 0;    // the advance of one character
  double line = 0;    // baseline to baseline
  double ascent = 0;  // top of a line to its baseline
};

// The metrics of FigureFont(points) (needs a running QGuiApplication).
FigureMetrics MeasureFigureFont(double points);

// One piece of header text and how it looks.
struct HeaderSpan {
  std::string text;
  Appearance look;
  std::size_t column = 0;  // where it starts in its line, in characters
};
using HeaderLine = std::vector<HeaderSpan>;

// The header below the title: the provenance lines, the factors in their
// colours, then what the marks mean; broken between words into lines of at
// most `columns` characters (a longer word is cut).
std::vector<HeaderLine> FigureHeaderLines(const FigureDocument& figure,
                                          std::size_t columns);

// Something drawn above each block's lines, across the block's columns (a
// plot of the conservation scores, say). Painting and SVG each get the area
// it asked for: `left` is column 1 of the block's letters, `top` the strip's
// top, in units.
class BlockStrip {
 public:
  virtual ~BlockStrip() = default;
  // The strip's height above `block` in units for text cells of `metrics`;
  // 0 for none.
  virtual double Height(const FigureBlock& block,
                        const FigureMetrics& metrics) const = 0;
  virtual void Paint(QPainter& painter, const FigureBlock& block,
                     const FigureMetrics& metrics, double left,
                     double top) const = 0;
  virtual void WriteSvg(QXmlStreamWriter& svg, const FigureBlock& block,
                        const FigureMetrics& metrics, double left,
                        double top) const = 0;
};

// Where the parts of a figure go, for block text of `text_points` and a
// header of `header_points` wrapped at `header_columns` characters.
class FigurePlan {
 public:
  FigurePlan(const FigureDocument& figure, double text_points,
             double header_points, std::size_t header_columns,
             const BlockStrip* strip = nullptr);

  const FigureDocument& Figure() const { return figure_; }
  const FigureMetrics& Text() const { return text_; }
  const FigureMetrics& Header() const { return header_; }
  const FigureMetrics& Title() const { return title_; }
  double TitlePoints() const { return title_points_; }
  double HeaderPoints() const { return header_points_; }
  double TextPoints() const { return text_points_; }
  // The title's lines (TitleLineCount() of them, in the title's font), then
  // FigureHeaderLines.
  const std::vector<HeaderLine>& HeaderLines() const { return header_lines_; }
  std::size_t TitleLineCount() const { return title_lines_; }
  const BlockStrip* Strip() const { return strip_; }

  // The widest block line's width.
  double BlocksWidth() const;
  // The title, the header lines and the space after them.
  double HeaderHeight() const;
  // The strip, the block's lines and the space after them.
  double BlockHeight(std::size_t block) const;
  // Where block `block`'s letters start, from the block's left edge.
  double ColumnsLeft() const;

 private:
  const FigureDocument& figure_;
  double text_points_;
  double header_points_;
  double title_points_;
  FigureMetrics text_;
  FigureMetrics header_;
  FigureMetrics title_;
  std::vector<HeaderLine> header_lines_;
  std::size_t title_lines_ = 0;
  const BlockStrip* strip_;
  // The figure's own conservation plot, when it has one and no other strip
  // is given.
  std::shared_ptr<const BlockStrip> own_strip_;
};

// Paints the title and header with their top left corner at (left, top).
void PaintFigureHeader(QPainter& painter, const FigurePlan& plan, double left,
                       double top);
// Paints block `block` with its top left corner at (left, top).
void PaintFigureBlock(QPainter& painter, const FigurePlan& plan,
                      std::size_t block, double left, double top);

// The name shown before a block line (nothing for a ruler or label line).
const std::string* FigureLineName(const FigureDocument& figure,
                                  const FigureLine& line);

// Calls piece(column, text, look) for every piece of equal look of block
// line `line`, `column` counted in characters from the line's start
// (name and gutter included), in order; the same characters as the text
// figure's line. Empty ruler and label lines have no pieces. Cost linear in
// the line's length.
using FigurePiece = std::function<void(
    std::size_t column, std::string_view text, const Appearance& look)>;
void ForEachFigurePiece(const FigureDocument& figure, const FigureBlock& block,
                        const FigureLine& line, const FigurePiece& piece);

}  // namespace tessarin

#endif  // TESSARIN_RENDER_FIGURE_PAINTER_H_
