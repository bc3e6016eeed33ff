// Painting the conserved windows: every window whose chosen scores all lie
// below their cut-offs gets a yellow background on every sequence row.
#ifndef TESSARIN_VIEW_CONSERVATION_HIGHLIGHT_H_
#define TESSARIN_VIEW_CONSERVATION_HIGHLIGHT_H_

#include <cstdint>

#include "sources/conserved.h"
#include "sources/reading_in.h"
#include "text/arrays.h"
#include "view/annotated_view.h"

namespace tessarin {

// Yellow: red 255, green 255, blue 0.
inline constexpr std::uint32_t kConservedBackground = 0x00FFFF;

// Whether window w passes: every score whose flag is exactly 1 is strictly
// below its cut-off. The caller makes sure every such score has an entry w
// and a cut-off.
bool WindowPasses(const TConserved& data, const AByte& criteria, std::size_t w);

// Gives every passing window of `data.conservation` the yellow background in
// `out.view` on the sequence row of each sequence of `data.alignment`
// (through `out.line_index`), at the row's own column offsets.
// Windows are clipped to the row's columns 1 to L; a window empty after
// clipping, one without an entry in WinStart, WinEnd or a selected score,
// and a sequence whose line index entry is missing or no line of the view are
// skipped. Does nothing when no criterion is selected, there are no windows,
// the criteria flags do not match the score names, or Cutoffs or Scores hold
// fewer entries than there are scores. Reports nothing. Touches only
// backgrounds. Overlapping passing windows are coloured as their union, one
// range per row, which leaves the same view. That union is kept in
// `out.conserved`. Cost: the windows plus the
// alignment length, plus the covered columns times the sequences.
void HighlightConservedWindows(const ReadInData& data, const AByte& criteria,
                               AnnotatedView& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_CONSERVATION_HIGHLIGHT_H_
