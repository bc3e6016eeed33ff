#include "app/line_cells.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

constexpr std::size_t kNoTab = std::string_view::npos;

}  // namespace

std::uint64_t LineCells::TabEnd(std::uint64_t cell, bool first) const {
  if (first && cell < first_tab_stop_) return first_tab_stop_;
  return (cell / kTabCells + 1) * kTabCells;
}

std::uint64_t LineCells::CellOf(std::uint64_t offset) const {
  std::uint64_t cell = 0;
  std::size_t pos = 0;
  bool first = true;
  for (;;) {
    const std::size_t tab = line_.find('\t', pos);
    if (tab == kNoTab || tab >= offset) return cell + (offset - pos);
    cell = TabEnd(cell + (tab - pos), first);
    first = false;
    pos = tab + 1;
  }
}

std::uint64_t LineCells::OffsetNearest(double x) const {
  if (!(x > 0)) return 0;
  std::uint64_t cell = 0;
  std::size_t pos = 0;
  bool first = true;
  for (;;) {
    const std::size_t tab = line_.find('\t', pos);
    const std::size_t end = tab == kNoTab ? line_.size() : tab;
    const std::uint64_t run = end - pos;
    // The boundaries pos .. end lie at cells cell .. cell + run.
    const double into = x - static_cast<double>(cell);
    if (tab == kNoTab || into <= static_cast<double>(run)) {
      // Past a tab's middle `into` can be negative: the caret goes after it.
      const double nearest =
          std::clamp(std::floor(into + 0.5), 0.0, static_cast<double>(run));
      return pos + static_cast<std::uint64_t>(nearest);
    }
    const std::uint64_t tab_start = cell + run;
    const std::uint64_t tab_end = TabEnd(tab_start, first);
    if (x < static_cast<double>(tab_start + tab_end) / 2) return tab;
    cell = tab_end;
    first = false;
    pos = tab + 1;
  }
}

std::uint64_t LineCells::OffsetAtCell(std::uint64_t target) const {
  std::uint64_t cell = 0;
  std::size_t pos = 0;
  bool first = true;
  for (;;) {
    const std::size_t tab = line_.find('\t', pos);
    const std::size_t end = tab == kNoTab ? line_.size() : tab;
    const std::uint64_t run = end - pos;
    if (target < cell + run) return pos + (target - cell);
    if (tab == kNoTab) return line_.size();
    const std::uint64_t tab_end = TabEnd(cell + run, first);
    if (target < tab_end) return tab;
    cell = tab_end;
    first = false;
    pos = tab + 1;
  }
}

}  // namespace tessarin
