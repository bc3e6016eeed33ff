// Lookups between gapless positions, alignment columns and view lines.
#ifndef TESSARIN_ALIGNMENT_POSITION_MAP_H_
#define TESSARIN_ALIGNMENT_POSITION_MAP_H_

#include <cstdint>
#include <string_view>
#include <vector>

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

// The inverse of one gapless table: for each gapless position, the first
// column whose entry holds it, so that a lookup costs O(1) rather than a
// search. Built in time linear in the table; holds 4 bytes per position.
// Only a table that never decreases and whose entries do not exceed its
// length (every table GaplessTable builds) gets an index; for any other the
// index stays empty and answers 0 throughout.
class ColumnIndex {
 public:
  // Replaces the index by that of `table`, reusing its memory.
  void Build(const ADWord& table);
  // GaplessToColumn's answer for pos when pos occurs in the table; 0 when it
  // does not (or the table has no index), and then only GaplessToColumn
  // knows the answer and reports a missing position.
  std::int64_t Column(std::int64_t pos) const;

 private:
  std::vector<std::uint32_t> first_column_;  // 0: the position does not occur
};

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_POSITION_MAP_H_
