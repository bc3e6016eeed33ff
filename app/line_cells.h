// Where the characters of a view line stand on the fixed-pitch grid of the
// view widget. Every character takes one cell except a tab:
//   - the first tab of a line advances to a stop shared by the whole view
//     (the window sets it just past the longest text before a first tab, so
//     the sequence columns of every row and track line up, whatever the
//     lengths of the sequence names);
//   - any later tab, and a first tab already at or past the shared stop,
//     advances to the next multiple of 8 cells.
// A tab always takes at least one cell. Drawing, hit testing and the
// selection all use these functions, so the mapping is the same for each.
#ifndef TESSARIN_APP_LINE_CELLS_H_
#define TESSARIN_APP_LINE_CELLS_H_

#include <cstdint>
#include <string_view>

#include "view/row_layout.h"

namespace tessarin {

class LineCells {
 public:
  LineCells(std::string_view line, std::uint64_t first_tab_stop)
      : line_(line), first_tab_stop_(first_tab_stop) {}

  // The first cell of the character at `offset`; an offset at or past the
  // line's end gives the cell right after the last character plus the
  // offsets beyond it (the line end stands in the cell at Width()).
  // Cost O(number of tabs before `offset`).
  std::uint64_t CellOf(std::uint64_t offset) const;

  // The number of cells the line's characters take.
  std::uint64_t Width() const { return CellOf(line_.size()); }

  // The caret offset (0 to the line's length) whose boundary is nearest to
  // `x`, a position measured in cells from the line's left edge.
  std::uint64_t OffsetNearest(double x) const;

  // The offset of the character that covers cell `cell`; the line's length
  // when the cell lies past the last character.
  std::uint64_t OffsetAtCell(std::uint64_t cell) const;

  // The cell after a tab that starts at `cell`; `first` tells whether it is
  // the line's first tab.
  std::uint64_t TabEnd(std::uint64_t cell, bool first) const;

 private:
  std::string_view line_;
  std::uint64_t first_tab_stop_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_LINE_CELLS_H_
