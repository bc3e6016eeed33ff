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
// factor, on which sequence, over which alignment columns, and how its
// letters compared. Figures and reports read the sites from here rather
// than working them out again.
struct PlacedSite {
  std::size_t factor = 0;          // index into the factor definitions
  std::size_t row = 0;             // the site's row in its factor's table
  std::size_t seq = 0;             // index of the sequence in the alignment
  std::uint64_t first_column = 0;  // 1-based alignment columns
  std::uint64_t last_column = 0;
  std::int64_t start = 0;  // 1-based gapless positions of its first and
  std::int64_t end = 0;    // last marked letter
  bool compared = false;   // whether letters were compared (not a length site)
  std::uint64_t matches = 0;     // letters made bold
  std::uint64_t mismatches = 0;  // letters struck out

  bool operator==(const PlacedSite&) const = default;
};

// Why a site of the factor tables marks nothing.
enum class UnplacedReason {
  kUnknownSequence,   // its sequence name names no row
  kBeforeSequence,    // its first position lies before the row's first
  kBeyondSequence,    // a position lies past the row's last residue
  kEmpty,             // its length is below 1
  kNoUpperCase,       // case-sensitive letters without an upper-case one
  kIncompleteEntry,   // its table row lacks a field its match type needs
  kUnknownMatchType,  // its factor's match type has no rule
};

struct UnplacedSite {
  std::size_t factor = 0;
  std::size_t row = 0;
  UnplacedReason reason = UnplacedReason::kUnknownSequence;

  bool operator==(const UnplacedSite&) const = default;
};

// Columns first..last, both 1-based and included.
struct ColumnRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;

  bool operator==(const ColumnRange&) const = default;
};

struct AnnotatedView {
  RichView view;
  // line_index[i]: the view line of sequence i's row. Meaningful only after
  // an annotation has written both.
  ADWord line_index;
  // Every site the annotation marked, in the order it marked them (sequence
  // by sequence, then factor and table order).
  std::vector<PlacedSite> sites;
  // Every site of the tables that marked nothing, with the reason, in
  // factor and table order.
  std::vector<UnplacedSite> unplaced;
  // The columns the highlighting painted yellow, as maximal ranges in column
  // order (on a row they stop at its last column).
  std::vector<ColumnRange> conserved;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ANNOTATED_VIEW_H_
