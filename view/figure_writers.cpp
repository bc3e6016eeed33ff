#include "view/figure_writers.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "view/conservation_highlight.h"
#include "view/html_runs.h"
#include "view/output_buffer.h"
#include "view/plot_svg.h"
#include "view/rtf_format.h"
#include "view/rtf_runs.h"

namespace tessarin {

namespace {

// The name of sequence `seq`, or nothing for a line without one.
const std::string* NameOf(const FigureDocument& figure,
                          const FigureLine& line) {
  if (line.kind != FigureLineKind::kSequence) return nullptr;
  return line.seq < figure.names.size() ? &figure.names[line.seq] : nullptr;
}

// A ruler or label line without characters: written as an empty line, not
// as the blanks of its name column.
bool IsEmptyLine(const FigureLine& line) {
  return line.kind != FigureLineKind::kSequence && line.text.empty();
}

// Calls write(block, line, last) for every line of every block, `last`
// telling whether it is its block's last line.
template <typename WriteLine>
void ForEachFigureLine(const FigureDocument& figure, DocumentOut& out,
                       WriteLine&& write) {
  for (const FigureBlock& block : figure.layout.blocks) {
    for (std::size_t i = 0; i < block.lines.size() && out.Good(); ++i) {
      write(block, block.lines[i], i + 1 == block.lines.size());
    }
  }
}

// The conserved windows' look, for the legend.
Appearance ConservedLook() {
  return ResolveAppearance(std::nullopt, kConservedBackground, 0);
}

// ---- RTF ----

constexpr int kTitleHalfPoints = 32;
constexpr int kFactsHalfPoints = 18;
constexpr int kBlockSpaceTwips = 240;
constexpr int kUsablePageTwips = 16838 - 2 * 720;  // A4 landscape, margins

int FittingHalfPoints(std::size_t width) {
  if (width == 0) return rtf::kFontSizeHalfPoints;
  const std::uint64_t fit = static_cast<std::uint64_t>(kUsablePageTwips) *
                            rtf::kCellTwipsDenominator /
                            (static_cast<std::uint64_t>(width) * 10 * 1229);
  return static_cast<int>(std::clamp<std::uint64_t>(fit, kMinFigureHalfPoints,
                                                    rtf::kFontSizeHalfPoints));
}

void RtfParagraph(int half_points, bool keep, DocumentOut& out) {
  out.Append(rtf::kNewParagraph);
  out.Append(rtf::kFontSize);
  out.Append(std::to_string(half_points));
  if (keep) out.Append(rtf::kKeepWithNext);
  out.Put(' ');
}

void RtfParagraphEnd(DocumentOut& out) {
  out.Append(rtf::kParagraphEnd);
  out.Put('\n');
}

}  // namespace

void WriteFigureRtf(const FigureDocument& figure, std::ostream& out) {
  RtfPalette palette(figure.view);
  std::vector<std::string> legend_open;
  for (const LegendEntry& entry : figure.legend) {
    Appearance look;
    look.text = entry.color;
    look.bold = true;
    look.underline = true;
    legend_open.push_back(palette.Opening(look));
  }
  const std::string conserved_open = palette.Opening(ConservedLook());
  Appearance match;
  match.bold = match.underline = true;
  Appearance mismatch;
  mismatch.strike_out = mismatch.underline = true;

  DocumentOut document(out);
  document.Append(rtf::kHeader);
  document.Append(rtf::kFontTable);
  document.Put('\n');
  WriteRtfColorTable(palette, document);
  WriteRtfInfo(figure.provenance, document);
  document.Append(rtf::kPageSetup);
  document.Put('\n');

  RtfParagraph(kTitleHalfPoints, true, document);
  WriteRtfGroup(rtf::kBold, figure.provenance.title, document);
  RtfParagraphEnd(document);
  for (const std::string& line : ProvenanceLines(figure.provenance)) {
    RtfParagraph(kFactsHalfPoints, true, document);
    WriteRtfEscaped(line, document);
    RtfParagraphEnd(document);
  }
  RtfParagraph(kFactsHalfPoints, true, document);
  document.Append("Factors:");
  for (std::size_t i = 0; i < figure.legend.size(); ++i) {
    document.Put(' ');
    WriteRtfGroup(legend_open[i], figure.legend[i].name, document);
  }
  RtfParagraphEnd(document);
  RtfParagraph(kFactsHalfPoints, false, document);
  document.Append(rtf::kSpaceAfter);
  document.Append(std::to_string(kBlockSpaceTwips));
  document.Put(' ');
  WriteRtfGroup(palette.Opening(match), kMatchSample, document);
  WriteRtfEscaped(kMatchText, document);
  document.Append("   ");
  WriteRtfGroup(palette.Opening(mismatch), kMatchSample, document);
  WriteRtfEscaped(kMismatchText, document);
  document.Append("   ");
  WriteRtfGroup(conserved_open, kConservedSample, document);
  WriteRtfEscaped(kConservedText, document);
  RtfParagraphEnd(document);

  const int half_points = FittingHalfPoints(FigureWidth(figure.layout));
  ForEachFigureLine(
      figure, document,
      [&](const FigureBlock& block, const FigureLine& line, bool last) {
        RtfParagraph(half_points, !last, document);
        if (last) {
          document.Append(rtf::kSpaceAfter);
          document.Append(std::to_string(kBlockSpaceTwips));
          document.Put(' ');
        }
        if (!IsEmptyLine(line)) {
          WriteRtfEscaped(FigureLineStart(figure.layout, NameOf(figure, line)),
                          document);
        }
        if (line.kind == FigureLineKind::kSequence) {
          WriteRtfRuns(figure.view, line.view_line, line.view_offset,
                       line.view_offset + line.length, palette, document);
          WriteRtfEscaped(FigureLineEnd(figure.layout, block, line), document);
        } else {
          WriteRtfEscaped(line.text, document);
        }
        RtfParagraphEnd(document);
      });
  document.Append("}\n");
}

// ---- HTML ----

namespace {

constexpr std::string_view kFigurePageStart =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"windows-1252\">\n";
constexpr std::string_view kFigureStyle =
    "<style>\n"
    "body { font-family: sans-serif; }\n"
    "ul.facts { font-size: 13px; padding-left: 1.2em; }\n"
    "pre { font-family: \"Courier New\", monospace; font-size: 13px; "
    "margin: 0 0 1.2em 0; }\n"
    "p.legend code { font-family: \"Courier New\", monospace; }\n"
    "pre svg.plot { display: block; }\n";

void HtmlElement(std::string_view tag, std::string_view text,
                 DocumentOut& out) {
  out.Put('<');
  out.Append(tag);
  out.Put('>');
  WriteHtmlEscaped(text, out);
  out.Append("</");
  out.Append(tag);
  out.Append(">\n");
}

void HtmlStyled(const Appearance& look, std::string_view text,
                DocumentOut& out) {
  out.Append("<code style=\"");
  out.Append(CssDeclarations(look));
  out.Append("\">");
  WriteHtmlEscaped(text, out);
  out.Append("</code>");
}

}  // namespace

void WriteFigureHtml(const FigureDocument& figure, std::ostream& out) {
  DocumentOut document(out);
  document.Append(kFigurePageStart);
  document.Append("<title>");
  WriteHtmlEscaped(figure.provenance.title, document);
  document.Append("</title>\n");
  WriteHtmlMeta(figure.provenance, document);
  document.Append(kFigureStyle);
  const HtmlClasses classes(figure.view);
  classes.WriteRules(document);
  document.Append("</style>\n</head>\n<body>\n");
  HtmlElement("h1", figure.provenance.title, document);
  document.Append("<ul class=\"facts\">\n");
  for (const std::string& line : ProvenanceLines(figure.provenance)) {
    HtmlElement("li", line, document);
  }
  document.Append("</ul>\n<p class=\"legend\">Factors:");
  for (const LegendEntry& entry : figure.legend) {
    Appearance look;
    look.text = entry.color;
    look.bold = look.underline = true;
    document.Put(' ');
    HtmlStyled(look, entry.name, document);
  }
  document.Append("<br>\n");
  Appearance match;
  match.bold = match.underline = true;
  Appearance mismatch;
  mismatch.strike_out = mismatch.underline = true;
  HtmlStyled(match, kMatchSample, document);
  WriteHtmlEscaped(kMatchText, document);
  document.Append(" &nbsp; ");
  HtmlStyled(mismatch, kMatchSample, document);
  WriteHtmlEscaped(kMismatchText, document);
  document.Append(" &nbsp; ");
  HtmlStyled(ConservedLook(), kConservedSample, document);
  WriteHtmlEscaped(kConservedText, document);
  if (figure.plot != nullptr) {
    const std::string note = PlotLegendNote(*figure.plot);
    document.Append(
        "<br>\nPlot: each score over the columns, its cut-off "
        "dashed, conserved windows shaded, sites as bars");
    if (!note.empty()) {
      document.Append("; ");
      WriteHtmlEscaped(note, document);
    }
  }
  document.Append("</p>\n");

  bool block_open = false;
  ForEachFigureLine(
      figure, document,
      [&](const FigureBlock& block, const FigureLine& line, bool last) {
        if (!block_open) {
          // The newline after <pre> is dropped by HTML parsers.
          document.Append("<pre>\n");
          block_open = true;
          if (figure.plot != nullptr) {
            WritePlotSvg(*figure.plot, block.first_column, block.column_count,
                         figure.layout.name_width + kFigureGutter.size(),
                         document);
          }
        }
        if (!IsEmptyLine(line)) {
          WriteHtmlEscaped(FigureLineStart(figure.layout, NameOf(figure, line)),
                           document);
        }
        if (line.kind == FigureLineKind::kSequence) {
          WriteHtmlRuns(figure.view, line.view_line, line.view_offset,
                        line.view_offset + line.length, classes, document);
          WriteHtmlEscaped(FigureLineEnd(figure.layout, block, line), document);
        } else {
          WriteHtmlEscaped(line.text, document);
        }
        document.Put('\n');
        if (last) {
          document.Append("</pre>\n");
          block_open = false;
        }
      });
  document.Append("</body>\n</html>\n");
}

// ---- Text ----

void WriteFigureText(const FigureDocument& figure, std::ostream& out) {
  DocumentOut document(out);
  document.Append(figure.provenance.title);
  document.Put('\n');
  for (const std::string& line : ProvenanceLines(figure.provenance)) {
    document.Append(line);
    document.Put('\n');
  }
  document.Append("Factors:");
  for (const LegendEntry& entry : figure.legend) {
    document.Put(' ');
    document.Append(entry.name);
    document.Append(entry.color ? " " + CssColor(*entry.color) : " auto");
    if (&entry != &figure.legend.back()) document.Put(',');
  }
  document.Append("\n\n");
  ForEachFigureLine(
      figure, document,
      [&](const FigureBlock& block, const FigureLine& line, bool last) {
        if (!IsEmptyLine(line)) {
          document.Append(FigureLineStart(figure.layout, NameOf(figure, line)));
        }
        if (line.kind == FigureLineKind::kSequence) {
          const std::string_view row = figure.view.Line(line.view_line);
          if (line.view_offset < row.size()) {
            document.Append(row.substr(line.view_offset, line.length));
          }
          document.Append(FigureLineEnd(figure.layout, block, line));
        } else {
          document.Append(line.text);
        }
        document.Append(last ? "\n\n" : "\n");
      });
}

}  // namespace tessarin
