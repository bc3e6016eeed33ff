// The conservation plot of one figure block as inline SVG, for the HTML
// figure: a strip per score over the block's columns, laid out in character
// cells so that it stands over the block's letters in a fixed-pitch font.
#ifndef TESSARIN_VIEW_PLOT_SVG_H_
#define TESSARIN_VIEW_PLOT_SVG_H_

#include <cstdint>

#include "view/conservation_plot.h"
#include "view/output_buffer.h"

namespace tessarin {

// Writes one <svg class="plot"> element for columns first_column to
// first_column + count - 1, after `lead_cells` character cells (the names
// and the gutter before column 1). Per strip: the passing windows as
// rect.conserved, the curve as one path.curve (gaps start a new subpath),
// the cut-off as line.cutoff, the score's name and cut-off as text; then
// the sites as rect.site in their factor's colour. The element is sized in
// ch and em, so a browser lines its columns up with the letters below.
void WritePlotSvg(const ConservationPlot& plot, std::uint64_t first_column,
                  std::uint64_t count, std::uint64_t lead_cells,
                  DocumentOut& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_PLOT_SVG_H_
