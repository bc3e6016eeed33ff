// One aligned sequence: its name, its text as read, its upper-case text, and
// the gap characters that decide which columns hold residues.
#ifndef TESSARIN_ALIGNMENT_SEQ_H_
#define TESSARIN_ALIGNMENT_SEQ_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/arrays.h"

namespace tessarin {

// The gap characters, as one set.
inline constexpr std::string_view kGapChars = "-~";

class TSeq {
 public:
  TSeq() = default;

  // Whether c is one of the gap characters.
  bool IsGap(char c) const;
  // Seq without its gap characters (every other byte, NUL included, stays).
  std::string GaplessSeq() const;
  // The number of residues among the first n characters of Seq; -1 when n
  // exceeds its length.
  std::int64_t GaplessCount(std::uint64_t n) const;
  // Entry c - 1 is the number of residues in columns 1 to c; one entry per
  // column, empty for an empty Seq.
  ADWord GaplessTable() const;

  std::string Seq;      // the text with a to z turned into A to Z
  std::string RawSeq;   // the text exactly as read
  std::string SeqName;  // the header line after its first '>', untrimmed
  std::string Gap1 = "~";
  std::string Gap2 = "-";
};

// s without every character of `set` (only the characters of the set go).
std::string RemoveChars(std::string_view s, std::string_view set);

// The gap characters of a sequence as a byte table, so that testing a
// character costs one lookup rather than two string searches.
class GapTable {
 public:
  explicit GapTable(const TSeq& seq) {
    for (const std::string* gaps : {&seq.Gap1, &seq.Gap2}) {
      for (const char c : *gaps) gap_[static_cast<unsigned char>(c)] = true;
    }
  }
  bool operator()(char c) const { return gap_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> gap_{};
};

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_SEQ_H_
