// What the status label says about the view's selection: where the selected
// letters of a sequence row lie, with and without gaps.
#ifndef TESSARIN_VIEW_SELECTION_INSPECTOR_H_
#define TESSARIN_VIEW_SELECTION_INSPECTOR_H_

#include <optional>
#include <string>

#include "sources/reading_in.h"
#include "view/annotated_view.h"

namespace tessarin {

// The status text for the current selection of `annotation.view`, read against
// the alignment of `data` and `annotation.line_index`, or nothing when the
// inspector stays silent (the label keeps its text): before annotation,
// without an alignment, or when the selection starts outside the letters of
// a sequence row (a track, a name, "> ", the tab, a line no sequence owns).
// An empty selection gives the empty text. Otherwise, for a selection from
// alignment column A covering B characters of Seq, of which D are residues E:
//   "<name>: +Gaps: Pos=A L=B -Gaps: Pos=C L=D >E"
// where C is the gapless position of column A (that of the last residue
// before it when A is a gap; the sequence's residue count when A lies past
// its end).
std::optional<std::string> InspectSelection(const ReadInData& data,
                                            const AnnotatedView& annotation,
                                            bool loaded, bool annotated);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_SELECTION_INSPECTOR_H_
