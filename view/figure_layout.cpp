#include "view/figure_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

#include "view/row_layout.h"

namespace tessarin {

namespace {

// What the layout needs of one sequence row.
struct RowFacts {
  std::size_t view_line = 0;
  std::size_t prefix_length = 0;
  std::uint64_t columns = 0;  // of the row that the view line holds
};

RowFacts FactsOf(const TSeq& seq, std::uint32_t view_line,
                 const RichView& view) {
  RowFacts facts;
  facts.view_line = view_line;
  facts.prefix_length = RowPrefixLength(seq.SeqName);
  if (view_line < view.LineCount()) {
    const std::size_t line_length = view.Line(view_line).size();
    if (line_length > facts.prefix_length) {
      facts.columns = std::min<std::uint64_t>(
          seq.Seq.size(), line_length - facts.prefix_length);
    }
  }
  return facts;
}

// ends[s * block_count + b]: the residues of sequence s in blocks 0 to b.
// Sequence by sequence, so that each sequence's gap table is made once.
std::vector<std::uint64_t> EndPositions(const TSeqSet& alignment,
                                        std::uint64_t block_count,
                                        std::uint64_t wrap) {
  std::vector<std::uint64_t> ends(alignment.Seqs.size() * block_count);
  for (std::size_t s = 0; s < alignment.Seqs.size(); ++s) {
    const TSeq& seq = alignment.Seqs[s];
    const GapTable is_gap(seq);
    std::uint64_t residues = 0;
    for (std::uint64_t b = 0; b < block_count; ++b) {
      const std::uint64_t from =
          std::min<std::uint64_t>(b * wrap, seq.Seq.size());
      const std::uint64_t to =
          std::min<std::uint64_t>(from + wrap, seq.Seq.size());
      for (std::uint64_t c = from; c < to; ++c) {
        residues += is_gap(seq.Seq[c]) ? 0 : 1;
      }
      ends[s * block_count + b] = residues;
    }
  }
  return ends;
}

// The first column at or after `first` that carries a tick.
std::uint64_t FirstTick(std::uint64_t first) {
  return (first + kRulerStep - 1) / kRulerStep * kRulerStep;
}

std::string RulerTicks(std::uint64_t first, std::uint64_t last) {
  std::string ticks;
  for (std::uint64_t c = FirstTick(first); c <= last; c += kRulerStep) {
    ticks.resize(c - first, ' ');
    ticks.push_back(kRulerTick);
  }
  return ticks;
}

std::string RulerNumbers(std::uint64_t first, std::uint64_t last) {
  std::string numbers;
  for (std::uint64_t c = FirstTick(first); c <= last; c += kRulerStep) {
    const std::uint64_t offset = c - first;
    // A blank between numbers, so that neighbours never read as one.
    if (!numbers.empty() && offset <= numbers.size()) continue;
    std::array<char, 24> digits{};
    const auto end =
        std::to_chars(digits.data(), digits.data() + digits.size(), c).ptr;
    numbers.resize(offset, ' ');
    numbers.append(digits.data(), end);
  }
  return numbers;
}

// A label to place, at its 1-based alignment column.
struct SiteLabel {
  std::uint64_t column = 0;
  std::string_view text;
};

// The labels of `sites`, grouped by block and then by sequence, each group
// in marking order (a stable counting sort, linear in the sites and groups).
// Group g = block * sequences + seq runs from starts[g] to starts[g + 1].
inline constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

struct GroupedLabels {
  std::vector<std::size_t> starts;
  std::vector<SiteLabel> labels;
};

GroupedLabels GroupLabels(const ReadInData& data,
                          const std::vector<PlacedSite>& sites,
                          std::uint64_t length, std::size_t sequences,
                          std::uint64_t block_count, std::uint64_t wrap) {
  const auto label_of = [&data](const PlacedSite& site) -> const std::string* {
    if (site.factor >= data.factors.size()) return nullptr;
    const std::vector<std::string>& labels = data.factors[site.factor].Labels;
    return site.row < labels.size() ? &labels[site.row] : nullptr;
  };
  const auto group_of = [&](const PlacedSite& site) -> std::size_t {
    if (site.seq >= sequences || site.first_column < 1 ||
        site.first_column > length || label_of(site) == nullptr) {
      return kNoGroup;  // a site that does not fit the data
    }
    return (site.first_column - 1) / wrap * sequences + site.seq;
  };
  GroupedLabels grouped;
  grouped.starts.assign(block_count * sequences + 1, 0);
  for (const PlacedSite& site : sites) {
    const std::size_t g = group_of(site);
    if (g != kNoGroup) ++grouped.starts[g + 1];
  }
  for (std::size_t g = 1; g < grouped.starts.size(); ++g) {
    grouped.starts[g] += grouped.starts[g - 1];
  }
  grouped.labels.resize(grouped.starts.back());
  std::vector<std::size_t> next(grouped.starts.begin(),
                                grouped.starts.end() - 1);
  for (const PlacedSite& site : sites) {
    const std::size_t g = group_of(site);
    if (g == kNoGroup) continue;
    grouped.labels[next[g]++] = {site.first_column, *label_of(site)};
  }
  return grouped;
}

// The label lines of one sequence in one block. Offsets are 0-based from
// the block's first column.
//
// A label goes into the first line that holds no label character in the
// columns it takes. The search starts at the highest of first_free_ over
// those columns (no line before it has room), so labels apart from each
// other or stacked on one column try no line in vain. Each label costs its
// width, plus for each line tried in vain the columns read in it up to the
// first one held; labels laid out to defeat first_free_ cost at most
// labels x lines x label width, and only within one sequence's block.
// Keeping first_free_ up costs one step per column a label takes.
class LabelPacker {
 public:
  void Place(std::uint64_t offset, std::string_view label) {
    const std::uint64_t last =
        offset + std::max<std::size_t>(label.size(), 1) - 1;
    if (first_free_.size() <= last) first_free_.resize(last + 1, 0);
    std::size_t line = 0;
    for (std::uint64_t p = offset; p <= last; ++p) {
      line = std::max(line, first_free_[p]);
    }
    while (line < used_ && !HasRoom(lines_[line], offset, last)) ++line;
    if (line == used_) NewLine();
    Write(lines_[line], offset, last, label);
    for (std::uint64_t p = offset; p <= last; ++p) {
      std::size_t& free = first_free_[p];
      while (free < used_ && Holds(lines_[free], p)) ++free;
    }
    placed_.emplace_back(offset, last);
  }

  // Appends the lines of the labels placed so far to `out`, without
  // trailing blanks, and starts afresh.
  void TakeLines(std::size_t seq, std::vector<FigureLine>& out) {
    for (std::size_t i = 0; i < used_; ++i) {
      std::string& text = lines_[i].text;
      text.erase(text.find_last_not_of(' ') + 1);
      FigureLine& line = out.emplace_back();
      line.kind = FigureLineKind::kLabels;
      line.seq = seq;
      line.text = std::move(text);
    }
    used_ = 0;
    for (const auto& [first, last] : placed_) {
      std::fill(first_free_.begin() + first, first_free_.begin() + last + 1, 0);
    }
    placed_.clear();
  }

 private:
  struct Line {
    std::string text;
    std::vector<bool> held;  // the columns holding a label character
  };

  static bool Holds(const Line& line, std::uint64_t p) {
    return p < line.held.size() && line.held[p];
  }
  static bool HasRoom(const Line& line, std::uint64_t first,
                      std::uint64_t last) {
    for (std::uint64_t p = first; p <= last && p < line.held.size(); ++p) {
      if (line.held[p]) return false;
    }
    return true;
  }
  static void Write(Line& line, std::uint64_t first, std::uint64_t last,
                    std::string_view label) {
    if (line.text.size() <= last) line.text.resize(last + 1, ' ');
    if (line.held.size() <= last) line.held.resize(last + 1, false);
    std::copy(label.begin(), label.end(), line.text.begin() + first);
    std::fill(line.held.begin() + first, line.held.begin() + last + 1, true);
  }
  void NewLine() {
    if (used_ == lines_.size()) lines_.emplace_back();
    Line& line = lines_[used_++];
    line.text.clear();  // it may have been moved from
    line.held.clear();  // keeps its room for the next group
  }

  std::vector<Line> lines_;  // the first used_ are this group's
  std::size_t used_ = 0;
  // Entry p: a line at or before the first line free at offset p.
  std::vector<std::size_t> first_free_;
  // The offsets each label took, to clear first_free_ in their cost.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> placed_;
};

}  // namespace

std::size_t DecimalDigits(std::uint64_t value) {
  std::size_t digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

FigureLayout LayoutFigure(const ReadInData& data,
                          const AnnotatedView& annotated, std::size_t wrap) {
  FigureLayout layout;
  const TSeqSet* alignment = data.alignment.get();
  if (alignment == nullptr || alignment->Seqs.empty() || wrap == 0 ||
      annotated.line_index.size() < alignment->Seqs.size()) {
    return layout;
  }
  const std::vector<TSeq>& seqs = alignment->Seqs;
  const std::size_t sequences = seqs.size();
  std::uint64_t length = 0;
  std::vector<RowFacts> rows;
  rows.reserve(sequences);
  for (std::size_t s = 0; s < sequences; ++s) {
    length = std::max<std::uint64_t>(length, seqs[s].Seq.size());
    layout.name_width = std::max(layout.name_width, seqs[s].SeqName.size());
    rows.push_back(FactsOf(seqs[s], annotated.line_index[s], annotated.view));
  }
  if (length == 0) return layout;

  const std::uint64_t block_count = (length + wrap - 1) / wrap;
  const std::vector<std::uint64_t> ends =
      EndPositions(*alignment, block_count, wrap);
  std::uint64_t widest_end = 0;
  for (std::size_t s = 0; s < sequences; ++s) {
    widest_end = std::max(widest_end, ends[s * block_count + block_count - 1]);
  }
  layout.position_width = DecimalDigits(widest_end);

  const GroupedLabels grouped =
      GroupLabels(data, annotated.sites, length, sequences, block_count, wrap);
  LabelPacker packer;
  layout.blocks.resize(block_count);
  for (std::uint64_t b = 0; b < block_count; ++b) {
    FigureBlock& block = layout.blocks[b];
    block.first_column = b * wrap + 1;
    block.column_count = std::min<std::uint64_t>(wrap, length - b * wrap);
    const std::uint64_t last_column =
        block.first_column + block.column_count - 1;
    block.lines.reserve(2 + sequences);
    block.lines.push_back(
        {.kind = FigureLineKind::kRulerNumbers,
         .text = RulerNumbers(block.first_column, last_column)});
    block.lines.push_back(
        {.kind = FigureLineKind::kRulerTicks,
         .text = RulerTicks(block.first_column, last_column)});
    for (std::size_t s = 0; s < sequences; ++s) {
      const RowFacts& row = rows[s];
      FigureLine& line = block.lines.emplace_back();
      line.kind = FigureLineKind::kSequence;
      line.seq = s;
      line.view_line = row.view_line;
      line.view_offset = ColumnOffset(row.prefix_length, block.first_column);
      line.length =
          row.columns < block.first_column
              ? 0
              : std::min(row.columns, last_column) - block.first_column + 1;
      line.end_position = ends[s * block_count + b];

      const std::size_t group = b * sequences + s;
      for (std::size_t i = grouped.starts[group]; i < grouped.starts[group + 1];
           ++i) {
        const SiteLabel& label = grouped.labels[i];
        packer.Place(label.column - block.first_column, label.text);
      }
      packer.TakeLines(s, block.lines);
    }
  }
  return layout;
}

}  // namespace tessarin
