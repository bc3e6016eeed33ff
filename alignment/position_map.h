// Lookups between gapless positions, alignment columns and view lines.
#ifndef TESSARIN_ALIGNMENT_POSITION_MAP_H_
#define TESSARIN_ALIGNMENT_POSITION_MAP_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "alignment/seq.h"
#include "text/arrays.h"
#include "text/message_sink.h"

namespace tessarin {

inline constexpr std::string_view kGaplessValueNotFound =
    "Error matching gapless table - value not found!";

// Index of the first of the first `count` entries of `values` equal to
// `value`, or -1 (also for count 0). count is cut to the array's length.
std::int64_t IndexOfValue(const ADWord& values, std::uint32_t value,
                          std::size_t count);

// The 1-based alignment column at which sequence seq_index has gapless
// position pos: the first column whose table entry equals pos. When pos does
// not occur (or seq_index has no table, or pos lies outside 0..4294967295),
// reports kGaplessValueNotFound and returns 0. A gapless table never
// decreases, so the lookup is a binary search: O(log of the table's length).
std::int64_t GaplessToColumn(const AADWord& tables, std::size_t seq_index,
                             std::int64_t pos, MessageSink& sink);

// The inverse of one sequence's gapless table: for each gapless position, the
// first column whose entry holds it, so that a lookup costs O(1) rather than a
// search. Built in time linear in the sequence; holds 4 bytes per residue.
class ColumnIndex {
 public:
  // Replaces the index by that of seq's gapless table, read straight off its
  // text (so that the table itself is never held), reusing its memory.
  void Build(const TSeq& seq);
  // GaplessToColumn's answer for pos in the sequence's table: its column,
  // or 0 when pos does not occur there (the caller reports that).
  std::int64_t Column(std::int64_t pos) const;

 private:
  std::vector<std::uint32_t> first_column_;  // 0: the position does not occur
};

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_POSITION_MAP_H_
