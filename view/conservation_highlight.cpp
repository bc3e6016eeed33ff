#include "view/conservation_highlight.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "view/row_layout.h"

namespace tessarin {

namespace {

bool PreconditionsHold(const TSeqSet* alignment, const TConserved& data,
                       const AByte& criteria, const ADWord& line_index) {
  if (alignment == nullptr || data.NScores <= 0) return false;
  if (criteria.empty() || line_index.empty()) return false;
  if (alignment->Count() == 0) return false;
  if (data.Scores.empty() || data.Scores[0].empty()) return false;
  const auto n = static_cast<std::size_t>(data.NScores);
  if (criteria.size() != n) return false;
  if (data.Cutoffs.size() < n || data.Scores.size() < n) return false;
  const unsigned selected =
      std::accumulate(criteria.begin(), criteria.end(), 0u);
  return selected != 0;
}

// How many windows every selected score, WinStart and WinEnd have entries
// for; only those windows are used.
std::size_t UsableWindows(const TConserved& data, const AByte& criteria) {
  std::size_t windows = std::min(
      {data.Scores[0].size(), data.WinStart.size(), data.WinEnd.size()});
  for (std::size_t s = 0; s < criteria.size(); ++s) {
    if (criteria[s] == 1) windows = std::min(windows, data.Scores[s].size());
  }
  return windows;
}

// The columns 1..length that passing windows cover, as maximal ranges in
// column order. Every passing window gets the same background on every row,
// so colouring the union of the windows once gives the same view as
// colouring each window in turn, and overlapping windows (sliding windows
// overlap by most of their width) cost nothing extra. Linear in the number
// of windows plus the length.
std::vector<ColumnRange> PassingColumns(const TConserved& data,
                                        const AByte& criteria,
                                        std::uint64_t length) {
  std::vector<std::int64_t> starts(length + 2, 0);  // coverage differences
  const std::size_t windows = UsableWindows(data, criteria);
  for (std::size_t w = 0; w < windows; ++w) {
    if (!WindowPasses(data, criteria, w)) continue;
    const std::uint64_t first = std::max<std::uint64_t>(data.WinStart[w], 1);
    const std::uint64_t last = std::min<std::uint64_t>(data.WinEnd[w], length);
    if (last < first) continue;
    ++starts[first];
    --starts[last + 1];
  }
  std::vector<ColumnRange> ranges;
  std::int64_t depth = 0;
  for (std::uint64_t c = 1; c <= length; ++c) {
    const bool was_covered = depth > 0;
    depth += starts[c];
    if (depth > 0 && !was_covered) ranges.push_back({c, c});
    if (depth > 0) ranges.back().last = c;
  }
  return ranges;
}

}  // namespace

bool WindowPasses(const TConserved& data, const AByte& criteria,
                  std::size_t w) {
  for (std::size_t s = 0; s < criteria.size(); ++s) {
    if (criteria[s] == 1 && !(data.Scores[s][w] < data.Cutoffs[s])) {
      return false;
    }
  }
  return true;
}

void HighlightConservedWindows(const ReadInData& data, const AByte& criteria,
                               AnnotatedView& out) {
  const TSeqSet* alignment = data.alignment.get();
  const ADWord& line_index = out.line_index;
  RichView& view = out.view;
  if (!PreconditionsHold(alignment, data.conservation, criteria, line_index)) {
    return;
  }
  out.conserved =
      PassingColumns(data.conservation, criteria, alignment->MaxLength());
  const std::vector<ColumnRange>& yellow = out.conserved;
  for (std::size_t i = 0; i < alignment->Seqs.size(); ++i) {
    if (i >= line_index.size() || line_index[i] >= view.LineCount()) continue;
    const TSeq& seq = alignment->Seqs[i];
    const std::size_t prefix = RowPrefixLength(seq.SeqName);
    const std::uint64_t length = seq.Seq.size();
    for (const ColumnRange& range : yellow) {
      const std::uint64_t last = std::min<std::uint64_t>(range.last, length);
      if (last < range.first) break;  // ranges are in column order
      SetRangeBackColor(view, line_index[i], ColumnOffset(prefix, range.first),
                        last - range.first + 1, kConservedBackground);
    }
  }
}

}  // namespace tessarin
