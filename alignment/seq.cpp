#include "alignment/seq.h"

#include <array>

#include "text/strings.h"

namespace tessarin {

namespace {}  // namespace

bool TSeq::IsGap(char c) const {
  return Gap1.find(c) != std::string::npos || Gap2.find(c) != std::string::npos;
}

std::string TSeq::GaplessSeq() const {
  const GapTable is_gap(*this);
  // Every byte is written and the end moves past it only for a residue:
  // no branch to mispredict on a mix of residues and gaps.
  std::string result(Seq.size(), '\0');
  std::size_t end = 0;
  for (const char c : Seq) {
    result[end] = c;
    end += is_gap(c) ? 0 : 1;
  }
  result.resize(end);
  return result;
}

std::int64_t TSeq::GaplessCount(std::uint64_t n) const {
  if (n > Seq.size()) return -1;
  const GapTable is_gap(*this);
  std::int64_t count = 0;
  for (std::size_t c = 0; c < n; ++c) {
    if (!is_gap(Seq[c])) ++count;
  }
  return count;
}

ADWord TSeq::GaplessTable() const {
  const GapTable is_gap(*this);
  // Appended rather than sized first: the table is written once, not
  // zeroed and then written.
  ADWord table;
  table.reserve(Seq.size());
  std::uint32_t count = 0;
  for (const char c : Seq) {
    count += is_gap(c) ? 0 : 1;
    table.push_back(count);
  }
  return table;
}

std::string RemoveChars(std::string_view s, std::string_view set) {
  // Unlike the general filter, a NUL byte is a residue and stays: only the
  // characters of the set are removed.
  std::string result;
  result.reserve(s.size());
  for (char c : s) {
    if (set.find(c) == std::string_view::npos) result += c;
  }
  return result;
}

}  // namespace tessarin
