#include "alignment/position_map.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

#include "text/byte_words.h"

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

namespace {

// Tests eight characters at once for gap characters, when the sequence has
// at most four distinct ones (it has two unless its gap strings were
// changed).
class GapWords {
 public:
  explicit GapWords(const TSeq& seq) {
    for (const std::string* gaps : {&seq.Gap1, &seq.Gap2}) {
      for (const char c : *gaps) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (std::find(bytes_, bytes_ + count_, byte) != bytes_ + count_) {
          continue;
        }
        if (count_ == std::size(bytes_)) {
          usable_ = false;
          return;
        }
        bytes_[count_++] = byte;
      }
    }
  }
  bool Usable() const { return usable_; }
  // Whether the eight characters of `word` hold a gap character.
  bool HoldGap(std::uint64_t word) const {
    for (std::size_t k = 0; k < count_; ++k) {
      if (HasByte(word, bytes_[k])) return true;
    }
    return false;
  }

 private:
  std::uint8_t bytes_[4] = {};
  std::size_t count_ = 0;
  bool usable_ = true;
};

}  // namespace

void ColumnIndex::Build(const TSeq& seq) {
  first_column_.clear();
  if (seq.Seq.empty()) return;
  const GapTable is_gap(seq);
  const GapWords gap_words(seq);
  const char* const text = seq.Seq.data();
  const std::size_t length = seq.Seq.size();
  // Position 0 occurs, at column 1, only when the text starts with a gap.
  // Every column is written without a branch: a residue's column to its
  // position, a gap's to the spare entry past the end.
  first_column_.resize(length + 2);
  std::uint32_t* const first = first_column_.data();
  first[0] = is_gap(seq.Seq.front()) ? 1 : 0;
  const std::size_t spare = length + 1;
  std::size_t count = 0;
  for (std::size_t c = 0; c < length;) {
    // Eight columns without a gap hold the next eight positions.
    while (gap_words.Usable() && c + 8 <= length) {
      std::uint64_t word;
      std::memcpy(&word, text + c, 8);
      if (gap_words.HoldGap(word)) break;
      for (std::size_t k = 1; k <= 8; ++k) {
        first[count + k] = static_cast<std::uint32_t>(c + k);
      }
      count += 8;
      c += 8;
    }
    if (c == length) break;
    const std::size_t residue = is_gap(text[c]) ? 0 : 1;
    count += residue;
    first[residue != 0 ? count : spare] = static_cast<std::uint32_t>(c + 1);
    ++c;
  }
  first_column_.resize(count + 1);
}

std::int64_t ColumnIndex::Column(std::int64_t pos) const {
  if (pos < 0 || static_cast<std::uint64_t>(pos) >= first_column_.size()) {
    return 0;
  }
  return first_column_[static_cast<std::size_t>(pos)];
}

}  // namespace tessarin
