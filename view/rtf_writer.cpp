#include "view/rtf_writer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "view/colors.h"
#include "view/output_buffer.h"
#include "view/parallel_lines.h"
#include "view/row_layout.h"
#include "view/rtf_format.h"
#include "view/rtf_runs.h"

namespace tessarin {

namespace {

// The position in twips of a tab stop `cells` character cells from the left.
std::uint64_t CellsToTwips(std::uint64_t cells) {
  return (cells * rtf::kCellTwipsNumerator + rtf::kCellTwipsDenominator - 1) /
         rtf::kCellTwipsDenominator;
}

void WriteHead(const RichView& view, const RtfPalette& palette,
               const Provenance* provenance, DocumentOut& out) {
  out.Append(rtf::kHeader);
  out.Append(rtf::kFontTable);
  out.Put('\n');
  WriteRtfColorTable(palette, out);
  if (provenance != nullptr) WriteRtfInfo(*provenance, out);
  out.Append(rtf::kPageSetup);
  out.Append(rtf::kDefaultTab);
  out.Append(std::to_string(CellsToTwips(kTabCells)));
  out.Put('\n');
  out.Append(rtf::kBodyStart);
  out.Append(rtf::kFontSize);
  out.Append(std::to_string(rtf::kFontSizeHalfPoints));
  const std::uint64_t tab_stop = FirstTabStop([&](auto&& visit) {
    for (std::size_t i = 0; i < view.LineCount(); ++i) visit(view.Line(i));
  });
  if (tab_stop > 0) {
    const std::string twips = std::to_string(CellsToTwips(tab_stop));
    out.Append(rtf::kTabStop);
    out.Append(twips);
    out.Append(rtf::kLeftIndent);
    out.Append(twips);
    out.Append(rtf::kFirstIndent);
    out.Append(twips);
  }
  out.Put('\n');
}

void WriteLine(const RichView& view, std::size_t line,
               const RtfPalette& palette, DocumentOut& out) {
  WriteRtfRuns(view, line, 0, view.Line(line).size(), palette, out);
  out.Append(rtf::kParagraphEnd);
  out.Put('\n');
}

}  // namespace

void WriteRtf(const RichView& view, std::ostream& out,
              const Provenance* provenance) {
  RtfPalette palette(view);
  DocumentOut document(out);
  WriteHead(view, palette, provenance, document);
  WriteLinesInParallel(
      view,
      [&](std::size_t line, DocumentOut& to) {
        WriteLine(view, line, palette, to);
      },
      document);
  document.Append("}\n");
}

}  // namespace tessarin
