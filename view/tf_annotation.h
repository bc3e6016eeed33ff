// Writing the annotated view: every sequence row with its binding sites
// marked, and the annotation tracks that carry the sites' labels.
#ifndef TESSARIN_VIEW_TF_ANNOTATION_H_
#define TESSARIN_VIEW_TF_ANNOTATION_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sources/reading_in.h"
#include "text/message_sink.h"
#include "view/annotated_view.h"
#include "view/label_tracks.h"
#include "view/row_layout.h"

namespace tessarin {

// Appends to `out.view`, for every sequence in alignment order, its sequence
// row (prefix and Seq) and below it its annotation tracks, and marks each
// site of each factor on the row: its columns underlined in the factor's
// colour, each compared letter bold where it equals the sequence's letter and
// struck out where not. Each label goes into the first track with room for it
// (a new track when none has). `out.line_index` gets the view line of each
// sequence row. Reads the alignment and the factors of `data`; each row's
// gapless positions are mapped to columns from its own text.
//
// Marks nothing when the alignment is missing or empty, and does nothing at
// all when there are no factor definitions. A site whose first or last position
// is not in the sequence's gapless table is reported (once per failed lookup)
// and marks nothing; rows are only read where every array they need has an
// entry. Time roughly linear in the view's size, the number of sites and the
// labels' lengths, however the labels overlap (see LabelTracks).
//
// Every site marked is added to `out.sites` with how its letters compared;
// every site of the tables that marks nothing (its row unreadable, its
// sequence unknown, its positions outside the row) to `out.unplaced` with
// the reason, so that each site read is accounted for. `colors`, when given,
// holds the colour value of each factor in place of its own `Color` (a figure's
// palette); a factor beyond its end keeps its own.
void AnnotateTFSites(const ReadInData& data, AnnotatedView& out,
                     MessageSink& sink,
                     const std::vector<std::uint32_t>* colors = nullptr);

// The characters the annotated view of `alignment` is given room for: every
// sequence row and, as a guess, three tracks each. The listing asks for the
// same room, so that the annotation that follows it writes into pages the
// listing already holds; room never written costs no memory.
std::uint64_t AnnotationRoom(const TSeqSet& alignment);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_TF_ANNOTATION_H_
