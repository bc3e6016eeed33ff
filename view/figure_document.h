// A figure as a document: the layout of its blocks, the view whose letters
// and marks the blocks show, what the figure says about where it came from,
// and its legend. The RTF, HTML and text figure writers print the same
// pieces, each in its own markup.
#ifndef TESSARIN_VIEW_FIGURE_DOCUMENT_H_
#define TESSARIN_VIEW_FIGURE_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sources/tf_set.h"
#include "view/colors.h"
#include "view/conservation_plot.h"
#include "view/figure_layout.h"
#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// One factor of the legend: its name and the colour its sites are drawn in
// (nothing: the automatic text colour).
struct LegendEntry {
  std::string name;
  std::optional<Rgb> color;
};

struct FigureDocument {
  const FigureLayout& layout;
  const RichView& view;
  const Provenance& provenance;
  std::vector<LegendEntry> legend;
  std::vector<std::string> names;  // each sequence's name, by index
  // Drawn over each block where the format can (HTML); none: no plot.
  const ConservationPlot* plot = nullptr;
};

// The legend of `factors` drawn in `colors` (a colour value per factor).
std::vector<LegendEntry> FigureLegend(const TaTFSet& factors,
                                      const std::vector<std::uint32_t>& colors);

// What the figure says about where it came from, one plain line each: one
// per input file (role, path, size, SHA-256), the criteria with their
// cut-offs and the rule, the scores not chosen, the program and the date.
std::vector<std::string> ProvenanceLines(const Provenance& provenance);

// The legend's explanation of the marks, after the factors.
inline constexpr std::string_view kMatchSample = "A";
inline constexpr std::string_view kMatchText = " letter matches the site";
inline constexpr std::string_view kMismatchText = " letter differs from it";
inline constexpr std::string_view kConservedSample = "ACGT";
inline constexpr std::string_view kConservedText = " conserved window";

// Between the names and the columns of a block line.
inline constexpr std::string_view kFigureGutter = "  ";

// The characters of the widest line of any block: name, gutter, columns or
// labels, and the end position after a blank.
std::size_t FigureWidth(const FigureLayout& layout);

// The start of a block line: the sequence's name padded to the layout's
// name width, or blanks for a ruler or label line, and the gutter.
std::string FigureLineStart(const FigureLayout& layout,
                            const std::string* name);

// The end of a sequence line: a blank and the end position right-aligned to
// the layout's position width, placed after the block's last column.
std::string FigureLineEnd(const FigureLayout& layout, const FigureBlock& block,
                          const FigureLine& line);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_FIGURE_DOCUMENT_H_
