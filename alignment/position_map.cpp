#include "alignment/position_map.h"

#include <algorithm>
#include <limits>

namespace tessarin {

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

void ColumnIndex::Build(const ADWord& table) {
  first_column_.clear();
  if (table.empty() || table.back() > table.size()) return;
  if (!std::is_sorted(table.begin(), table.end())) return;  // no gapless table
  first_column_.assign(std::size_t{table.back()} + 1, 0);
  // Walking backwards, the last write to a position is its first column;
  // no branch per entry.
  for (std::size_t j = table.size(); j-- > 0;) {
    first_column_[table[j]] = static_cast<std::uint32_t>(j + 1);
  }
}

std::int64_t ColumnIndex::Column(std::int64_t pos) const {
  if (pos < 0 || static_cast<std::uint64_t>(pos) >= first_column_.size()) {
    return 0;
  }
  return first_column_[static_cast<std::size_t>(pos)];
}

}  // namespace tessarin
