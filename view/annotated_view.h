// The annotated view: the rich text the annotation writes, with the view line
// of each sequence row. The two are written together and read together.
#ifndef TESSARIN_VIEW_ANNOTATED_VIEW_H_
#define TESSARIN_VIEW_ANNOTATED_VIEW_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/arrays.h"
#include "view/rich_view.h"

namespace tessarin {

// A binding site as the annotation marked it: which table row of which
// factor, on which sequence, over which alignment columns. Figures and
// reports read the sites from here rather than working them out again.
struct PlacedSite {
  std::size_t factor = 0;          // index into the factor definitions
  std::size_t row = 0;             // the site's row in its factor's table
  std::size_t seq = 0;             // index of the sequence in the alignment
  std::uint64_t first_column = 0;  // 1-based alignment columns
  std::uint64_t last_column = 0;

  bool operator==(const PlacedSite&) const = default;
};

struct AnnotatedView {
  RichView view;
  // line_index[i]: the view line of sequence i's row. Meaningful only after
  // an annotation has written both.
  ADWord line_index;
  // Every site the annotation marked, in the order it marked them (sequence
  // by sequence, then factor and table order).
  std::vector<PlacedSite> sites;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ANNOTATED_VIEW_H_
