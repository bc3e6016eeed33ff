// Lookups between gapless positions, alignment columns and view lines.
#ifndef TESSARIN_ALIGNMENT_POSITION_MAP_H_
#define TESSARIN_ALIGNMENT_POSITION_MAP_H_

#include <cstdint>
#include <string_view>

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

// GaplessToColumn, searched outwards from the column `guess` (1-based; 0:
// no guess, a plain GaplessToColumn) rather than over the whole table: the
// same result and the same report, at a cost of O(log) of the distance from
// the guess to the answer. For lookups that know roughly where to look
// (the next letter of a site, a position in proportion to the sequence).
std::int64_t GaplessToColumnNear(const AADWord& tables, std::size_t seq_index,
                                 std::int64_t pos, std::uint64_t guess,
                                 MessageSink& sink);

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_POSITION_MAP_H_
