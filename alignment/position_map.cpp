#include "alignment/position_map.h"

#include <algorithm>
#include <limits>

namespace tessarin {

namespace {

// The first index of `table` whose entry is at least `wanted` (the table's
// size when none is), searched outwards from `guess`: steps that double
// until the answer is bracketed, then a binary search. Costs O(log) of the
// distance from the guess and touches the few cache lines near the answer.
std::size_t LowerBoundFrom(const ADWord& table, std::uint32_t wanted,
                           std::size_t guess) {
  const std::size_t size = table.size();
  guess = std::min(guess, size);
  std::size_t low = guess;
  std::size_t high = guess;
  if (guess < size && table[guess] < wanted) {
    // The answer lies after the guess: every entry before low is below.
    for (std::size_t step = 1; high < size && table[high] < wanted; step *= 2) {
      low = high + 1;
      high = std::min(low + step, size);
    }
  } else {
    // The answer lies at or before the guess: high is the size or an entry
    // at or above wanted.
    for (std::size_t step = 1; low > 0 && table[low - 1] >= wanted; step *= 2) {
      high = low - 1;
      low = high >= step ? high - step : 0;
    }
  }
  const auto begin = table.begin();
  return static_cast<std::size_t>(
      std::lower_bound(begin + static_cast<std::ptrdiff_t>(low),
                       begin + static_cast<std::ptrdiff_t>(high), wanted) -
      begin);
}

}  // namespace

std::int64_t IndexOfValue(const ADWord& values, std::uint32_t value,
                          std::size_t count) {
  count = std::min(count, values.size());
  const auto end = values.begin() + static_cast<std::ptrdiff_t>(count);
  const auto it = std::find(values.begin(), end, value);
  return it == end ? -1 : it - values.begin();
}

std::int64_t GaplessToColumn(const AADWord& tables, std::size_t seq_index,
                             std::int64_t pos, MessageSink& sink) {
  const bool in_range = seq_index < tables.size() && pos >= 0 &&
                        pos <= std::numeric_limits<std::uint32_t>::max();
  if (in_range) {
    const ADWord& table = tables[seq_index];
    const auto value = static_cast<std::uint32_t>(pos);
    const auto it = std::lower_bound(table.begin(), table.end(), value);
    if (it != table.end() && *it == value) return it - table.begin() + 1;
  }
  sink.Show(kGaplessValueNotFound);
  return 0;
}

std::int64_t GaplessToColumnNear(const AADWord& tables, std::size_t seq_index,
                                 std::int64_t pos, std::uint64_t guess,
                                 MessageSink& sink) {
  const bool usable = guess > 0 && pos >= 0 &&
                      pos <= std::numeric_limits<std::uint32_t>::max() &&
                      seq_index < tables.size();
  if (usable) {
    const ADWord& table = tables[seq_index];
    const auto wanted = static_cast<std::uint32_t>(pos);
    const std::size_t at =
        LowerBoundFrom(table, wanted,
                       static_cast<std::size_t>(
                           std::min<std::uint64_t>(guess - 1, table.size())));
    if (at < table.size() && table[at] == wanted) {
      return static_cast<std::int64_t>(at) + 1;
    }
  }
  return GaplessToColumn(tables, seq_index, pos, sink);
}

}  // namespace tessarin
