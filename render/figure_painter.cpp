#include "render/figure_painter.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "render/plot_strip.h"
#include "view/conservation_highlight.h"
#include "view/rich_view.h"

namespace tessarin {

namespace {

std::size_t StyleIndex(const Appearance& look) {
  return (look.bold ? 1U : 0U) | (look.italic ? 2U : 0U) |
         (look.underline ? 4U : 0U) | (look.strike_out ? 8U : 0U);
}

// The sixteen looks of one size, made once per painting.
class FontSet {
 public:
  explicit FontSet(double points) : points_(points) {}
  const QFont& Of(const Appearance& look) {
    const std::size_t index = StyleIndex(look);
    if (!made_[index]) {
      fonts_[index] = FigureFont(points_, look);
      made_[index] = true;
    }
    return fonts_[index];
  }

 private:
  double points_;
  std::array<QFont, 16> fonts_;
  std::array<bool, 16> made_{};
};

QColor ToQColor(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

bool OnlyBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// Paints one piece of text in its cells: its background, then its letters.
void PaintPiece(QPainter& painter, FontSet& fonts, const FigureMetrics& metrics,
                double left, double top, std::size_t column,
                std::string_view text, const Appearance& look) {
  const double x = left + static_cast<double>(column) * metrics.cell;
  if (look.back) {
    painter.fillRect(
        QRectF(x, top, static_cast<double>(text.size()) * metrics.cell,
               metrics.line),
        ToQColor(*look.back));
  }
  if (OnlyBlanks(text) && !look.underline && !look.strike_out) return;
  painter.setFont(fonts.Of(look));
  painter.setPen(ToQColor(look.text.value_or(Rgb{})));
  painter.drawText(QPointF(x, top + metrics.ascent), FigureText(text));
}

// Lays out words into lines of at most `columns` characters.
class HeaderFlow {
 public:
  HeaderFlow(std::size_t columns, std::vector<HeaderLine>& lines)
      : columns_(std::max<std::size_t>(columns, 1)), lines_(lines) {}

  void NewLine() {
    lines_.emplace_back();
    column_ = 0;
  }
  // `word` after a blank (none at the start of a line); on the next line
  // when it does not fit, cut when no line holds it.
  void Word(std::string_view word, const Appearance& look) {
    if (lines_.empty()) NewLine();
    while (!word.empty()) {
      const std::size_t blank = column_ > 0 ? 1 : 0;
      if (column_ + blank + word.size() > columns_ && column_ > 0) {
        NewLine();
        continue;
      }
      const std::string_view part = word.substr(0, columns_ - column_ - blank);
      lines_.back().push_back({std::string(part), look, column_ + blank});
      column_ += blank + part.size();
      word.remove_prefix(part.size());
      if (!word.empty()) NewLine();
    }
  }
  // Every word of `text`, split at blanks.
  void Words(std::string_view text, const Appearance& look) {
    std::size_t begin = 0;
    while (begin < text.size()) {
      std::size_t end = text.find(' ', begin);
      if (end == std::string_view::npos) end = text.size();
      if (end > begin) Word(text.substr(begin, end - begin), look);
      begin = end + 1;
    }
  }

 private:
  std::size_t columns_;
  std::vector<HeaderLine>& lines_;
  std::size_t column_ = 0;
};

// Title lines are wrapped to the header's width in the larger font.
std::size_t TitleColumns(std::size_t header_columns) {
  return std::max<std::size_t>(
      1, static_cast<std::size_t>(static_cast<double>(header_columns) /
                                  kFigureTitleScale));
}

}  // namespace

QFont FigureFont(double points, const Appearance& look) {
  QFont font(QString::fromLatin1(kFigureFontFamily));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  font.setPixelSize(
      std::max(1, static_cast<int>(std::lround(points * kUnitsPerPoint))));
  font.setBold(look.bold);
  font.setItalic(look.italic);
  font.setUnderline(look.underline);
  font.setStrikeOut(look.strike_out);
  return font;
}

QString FigureText(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
    *out++ = control ? QChar(0xFFFD) : QChar(byte);
  }
  return text;
}

FigureMetrics MeasureFigureFont(double points) {
  const QFontMetricsF metrics(FigureFont(points));
  FigureMetrics measured;
  measured.cell = metrics.horizontalAdvance(QStringLiteral("0000000000")) / 10;
  measured.ascent = metrics.ascent();
  measured.line = metrics.ascent() + metrics.descent();
  return measured;
}

std::vector<HeaderLine> FigureHeaderLines(const FigureDocument& figure,
                                          std::size_t columns) {
  std::vector<HeaderLine> lines;
  HeaderFlow flow(columns, lines);
  for (const std::string& fact : ProvenanceLines(figure.provenance)) {
    flow.NewLine();
    flow.Words(fact, {});
  }
  flow.NewLine();
  flow.Word("Factors:", {});
  for (const LegendEntry& entry : figure.legend) {
    Appearance look;
    look.text = entry.color;
    look.bold = look.underline = true;
    flow.Word(entry.name, look);
  }
  Appearance match;
  match.bold = match.underline = true;
  Appearance mismatch;
  mismatch.strike_out = mismatch.underline = true;
  const Appearance conserved =
      ResolveAppearance(std::nullopt, kConservedBackground, 0);
  flow.NewLine();
  flow.Word(kMatchSample, match);
  flow.Words(kMatchText, {});
  flow.Word(kMatchSample, mismatch);
  flow.Words(kMismatchText, {});
  flow.Word(kConservedSample, conserved);
  flow.Words(kConservedText, {});
  return lines;
}

const std::string* FigureLineName(const FigureDocument& figure,
                                  const FigureLine& line) {
  if (line.kind != FigureLineKind::kSequence) return nullptr;
  return line.seq < figure.names.size() ? &figure.names[line.seq] : nullptr;
}

void ForEachFigurePiece(const FigureDocument& figure, const FigureBlock& block,
                        const FigureLine& line, const FigurePiece& piece) {
  const bool sequence = line.kind == FigureLineKind::kSequence;
  if (!sequence && line.text.empty()) return;
  const std::string start =
      FigureLineStart(figure.layout, FigureLineName(figure, line));
  piece(0, start, {});
  std::size_t column = start.size();
  if (!sequence) {
    piece(column, line.text, {});
    return;
  }
  const RichView& view = figure.view;
  if (line.length > 0 && line.view_line < view.LineCount()) {
    const std::string_view row = view.Line(line.view_line);
    const std::uint64_t from = line.view_offset;
    ForEachAttributeRunIn(
        view, line.view_line, from, from + line.length,
        [&](std::uint64_t at, std::uint64_t length, std::uint32_t id) {
          const CharAttributes& stored = view.AttributesOfId(id);
          piece(column + static_cast<std::size_t>(at - from),
                row.substr(at, length),
                ResolveAppearance(stored.color, stored.back, stored.style));
        });
    column += static_cast<std::size_t>(line.length);
  }
  piece(column, FigureLineEnd(figure.layout, block, line), {});
}

FigurePlan::FigurePlan(const FigureDocument& figure, double text_points,
                       double header_points, std::size_t header_columns,
                       const BlockStrip* strip)
    : figure_(figure),
      text_points_(text_points),
      header_points_(header_points),
      title_points_(header_points * kFigureTitleScale),
      text_(MeasureFigureFont(text_points)),
      header_(MeasureFigureFont(header_points)),
      title_(MeasureFigureFont(title_points_)),
      strip_(strip) {
  if (strip_ == nullptr && figure.plot != nullptr) {
    own_strip_ = std::make_shared<PlotStrip>(*figure.plot);
    strip_ = own_strip_.get();
  }
  HeaderFlow title(TitleColumns(header_columns), header_lines_);
  title.Words(figure.provenance.title, {});
  title_lines_ = header_lines_.size();
  std::vector<HeaderLine> rest = FigureHeaderLines(figure, header_columns);
  header_lines_.insert(header_lines_.end(), rest.begin(), rest.end());
}

double FigurePlan::BlocksWidth() const {
  return static_cast<double>(FigureWidth(figure_.layout)) * text_.cell;
}

double FigurePlan::HeaderHeight() const {
  return static_cast<double>(title_lines_) * title_.line +
         static_cast<double>(header_lines_.size() - title_lines_ + 1) *
             header_.line;
}

double FigurePlan::BlockHeight(std::size_t block) const {
  const FigureBlock& shown = figure_.layout.blocks[block];
  const double strip = strip_ != nullptr ? strip_->Height(shown, text_) : 0;
  return strip + static_cast<double>(shown.lines.size() + 1) * text_.line;
}

double FigurePlan::ColumnsLeft() const {
  return static_cast<double>(figure_.layout.name_width + kFigureGutter.size()) *
         text_.cell;
}

void PaintFigureHeader(QPainter& painter, const FigurePlan& plan, double left,
                       double top) {
  Appearance bold;
  bold.bold = true;
  FontSet title_fonts(plan.TitlePoints());
  FontSet fonts(plan.HeaderPoints());
  double y = top;
  for (std::size_t i = 0; i < plan.HeaderLines().size(); ++i) {
    const bool title = i < plan.TitleLineCount();
    const FigureMetrics& metrics = title ? plan.Title() : plan.Header();
    for (const HeaderSpan& span : plan.HeaderLines()[i]) {
      Appearance look = span.look;
      if (title) look.bold = true;
      PaintPiece(painter, title ? title_fonts : fonts, metrics, left, y,
                 span.column, span.text, look);
    }
    y += metrics.line;
  }
}

void PaintFigureBlock(QPainter& painter, const FigurePlan& plan,
                      std::size_t block, double left, double top) {
  const FigureDocument& figure = plan.Figure();
  const FigureBlock& shown = figure.layout.blocks[block];
  const FigureMetrics& metrics = plan.Text();
  double y = top;
  if (const BlockStrip* strip = plan.Strip()) {
    const double height = strip->Height(shown, metrics);
    if (height > 0) {
      strip->Paint(painter, shown, metrics, left + plan.ColumnsLeft(), y);
      y += height;
    }
  }
  FontSet fonts(plan.TextPoints());
  for (const FigureLine& line : shown.lines) {
    ForEachFigurePiece(
        figure, shown, line,
        [&](std::size_t column, std::string_view text, const Appearance& look) {
          PaintPiece(painter, fonts, metrics, left, y, column, text, look);
        });
    y += metrics.line;
  }
}

}  // namespace tessarin
