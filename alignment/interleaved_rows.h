// Collects an alignment written in blocks, where each line holds a row's name
// and the next piece of its residues (Clustal, Stockholm): rows in the order
// their names first appear, each the concatenation of its pieces.
#ifndef TESSARIN_ALIGNMENT_INTERLEAVED_ROWS_H_
#define TESSARIN_ALIGNMENT_INTERLEAVED_ROWS_H_

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "alignment/seq_set.h"
#include "text/strings.h"

namespace tessarin {

// The lines added must outlive it: names are looked up as views into them.
class InterleavedRows {
 public:
  explicit InterleavedRows(TSeqSet& set) : set_(set) {}

  // Adds the residues on `line` ("name residues [more residues] [count]") to
  // its row: every field after the name, joined; a last field of digits only
  // (a running count) is left out. A line with a name only adds an empty
  // piece. `gap_alias`, when not NUL, is read as '-'.
  void AddLine(std::string_view line, char gap_alias = '\0') {
    constexpr std::string_view kBlanks = " \t";
    const std::size_t name_end =
        std::min(line.find_first_of(kBlanks), line.size());
    std::string_view rest = line.substr(name_end);
    rest = rest.substr(0, rest.find_last_not_of(kBlanks) + 1);
    const std::size_t last_begin = rest.find_last_of(kBlanks);
    const std::string_view last = rest.substr(last_begin + 1);
    const bool counted =
        last_begin != std::string_view::npos &&
        rest.find_first_not_of(kBlanks) < last_begin &&
        last.find_first_not_of("0123456789") == std::string_view::npos;
    if (counted) rest = rest.substr(0, last_begin);
    std::string& raw = Row(line.substr(0, name_end));
    for (const char c : rest) {
      if (c == ' ' || c == '\t') continue;
      raw += c == gap_alias ? '-' : c;
    }
  }

  // Makes the upper-case texts; returns the number of rows. Each text is
  // made at its size: what growing it left spare goes.
  std::uint32_t Finish() {
    rows_.clear();
    for (TSeq& seq : set_.Seqs) {
      seq.RawSeq.shrink_to_fit();
      seq.Seq = UpperAscii(seq.RawSeq);
    }
    return set_.Count();
  }

 private:
  std::string& Row(std::string_view name) {
    const auto [it, added] = rows_.try_emplace(name, set_.Seqs.size());
    if (added) set_.Seqs.emplace_back().SeqName = std::string(name);
    return set_.Seqs[it->second].RawSeq;
  }

  TSeqSet& set_;
  std::unordered_map<std::string_view, std::size_t> rows_;
};

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_INTERLEAVED_ROWS_H_
