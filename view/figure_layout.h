// The figure layout: the annotated view cut into blocks of a fixed number of
// alignment columns, each with a column ruler and, for every sequence, its
// row and the labels of the sites that start in the block. It is plain data;
// every document writer and painter walks it, taking the rows' letters and
// attributes from the view it refers to.
#ifndef TESSARIN_VIEW_FIGURE_LAYOUT_H_
#define TESSARIN_VIEW_FIGURE_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sources/reading_in.h"
#include "view/annotated_view.h"

namespace tessarin {

// The block widths, in alignment columns, that a figure accepts.
inline constexpr std::size_t kMinFigureWrap = 10;
inline constexpr std::size_t kMaxFigureWrap = 1000;

// The ruler's characters.
inline constexpr char kRulerTick = '|';
// A tick and a column number stand at every column that is a multiple of it.
inline constexpr std::uint64_t kRulerStep = 10;

enum class FigureLineKind { kRulerNumbers, kRulerTicks, kSequence, kLabels };

struct FigureLine {
  FigureLineKind kind = FigureLineKind::kSequence;
  std::size_t seq = 0;  // kSequence, kLabels: the sequence's index
  // kRulerNumbers, kRulerTicks, kLabels: the characters, the first one
  // standing in the block's first column, without trailing blanks. May run
  // past the block's last column (a label that starts near the end, a
  // column number).
  std::string text;
  // kSequence: where the row's characters for this block are in the view:
  // line, character offset in that line, and length (the block's columns,
  // clipped to the row and to the view line); writers take text and
  // attributes from there. The length is 0 when the block lies beyond the
  // row's end.
  std::size_t view_line = 0;
  std::uint64_t view_offset = 0;
  std::uint64_t length = 0;
  // kSequence: the gapless position of the row's last residue at or before
  // the block's last column, i.e. the residues counted so far (0 when none).
  std::uint64_t end_position = 0;

  bool operator==(const FigureLine&) const = default;
};

struct FigureBlock {
  std::uint64_t first_column = 1;  // 1-based alignment column
  std::uint64_t column_count = 0;
  // The ruler's number line and tick line, then for each sequence in
  // alignment order its row followed by its label lines for this block.
  std::vector<FigureLine> lines;
};

struct FigureLayout {
  std::size_t name_width = 0;      // the widest sequence name, in bytes
  std::size_t position_width = 0;  // the widest end_position, in digits
  std::vector<FigureBlock> blocks;
};

// Cuts the annotated view into blocks of `wrap` alignment columns, the last
// one shorter (the caller checks kMinFigureWrap <= wrap <= kMaxFigureWrap;
// a wrap of 0 gives no blocks). The alignment's length is that of its
// longest sequence; each row is clipped to its own length.
//
// Ruler: in the tick line a kRulerTick at every column that is a multiple of
// kRulerStep; in the number line that column's number, its first digit over
// the tick (a number that would touch the one before it is left out).
//
// Labels: the label of every site in `annotated.sites` goes into the block
// that holds the site's first column, at that column, whole. A block's
// labels of one sequence are packed in marking order, each into the first
// of that sequence's label lines in the block with room for it (a label
// takes max(its length, 1) columns), a new line when none has room; blanks
// fill the gaps. A sequence with no label starting in a block gets no label
// line there. A site whose sequence, column, factor or table row does not
// exist is left out.
//
// Gives no blocks when the alignment is missing or empty, or the annotation
// wrote no rows (`annotated.line_index` has fewer entries than there are
// sequences). A row whose view line does not exist gets sequence lines of
// length 0. Reads only view line lengths, never text beyond them.
//
// Time and memory linear in the alignment's size, the number of sites and
// the label lines' characters (see the label packing in the .cpp).
FigureLayout LayoutFigure(const ReadInData& data,
                          const AnnotatedView& annotated, std::size_t wrap);

// The number of decimal digits of `value` (1 for 0).
std::size_t DecimalDigits(std::uint64_t value);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_FIGURE_LAYOUT_H_
