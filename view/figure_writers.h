// Writing a figure (view/figure_document.h) as an RTF, HTML or plain text
// document: a title, where it came from, a legend, then the blocks, each
// block's lines kept together. Every byte of the input is escaped as in the
// view's documents. Streams in time linear in the figure's size; failures
// show in the stream's state.
#ifndef TESSARIN_VIEW_FIGURE_WRITERS_H_
#define TESSARIN_VIEW_FIGURE_WRITERS_H_

#include <ostream>

#include "view/figure_document.h"

namespace tessarin {

// RTF: A4 landscape; the blocks in a fixed-pitch font sized so that the
// widest block line fits the page (no smaller than kMinFigureHalfPoints);
// every line of a block is kept with the next, so no block is split by a
// page break.
inline constexpr int kMinFigureHalfPoints = 8;
void WriteFigureRtf(const FigureDocument& figure, std::ostream& out);

// HTML: a heading, the facts as a list, the legend, one <pre> per block.
void WriteFigureHtml(const FigureDocument& figure, std::ostream& out);

// Plain text: the same lines without marks; the legend gives each factor's
// colour as #rrggbb.
void WriteFigureText(const FigureDocument& figure, std::ostream& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_FIGURE_WRITERS_H_
