#include "alignment/seq.h"

#include "text/strings.h"

namespace tessarin {

bool TSeq::IsGap(char c) const {
  return Gap1.find(c) != std::string::npos || Gap2.find(c) != std::string::npos;
}

std::string TSeq::GaplessSeq() const {
  std::string result;
  result.reserve(Seq.size());
  for (char c : Seq) {
    if (!IsGap(c)) result += c;
  }
  return result;
}

std::int64_t TSeq::GaplessCount(std::uint64_t n) const {
  if (n > Seq.size()) return -1;
  std::int64_t count = 0;
  for (std::size_t c = 0; c < n; ++c) {
    if (!IsGap(Seq[c])) ++count;
  }
  return count;
}

ADWord TSeq::GaplessTable() const {
  ADWord table(Seq.size());
  std::uint32_t count = 0;
  for (std::size_t c = 0; c < Seq.size(); ++c) {
    if (!IsGap(Seq[c])) ++count;
    table[c] = count;
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
