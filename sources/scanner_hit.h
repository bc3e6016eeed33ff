// One hit as a motif scanner's file gives it, before it is placed on a row of
// the alignment, and the small field readers that the site formats share.
#ifndef TESSARIN_SOURCES_SCANNER_HIT_H_
#define TESSARIN_SOURCES_SCANNER_HIT_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// A value a file did not give (a score, a p-value): NaN.
inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct ScannerHit {
  std::string_view motif;     // the factor's name
  std::string_view sequence;  // the sequence (or chromosome) it lies on
  // 1-based first and last position, both included, in the coordinates of
  // `sequence` without gaps.
  std::int64_t first = 0;
  std::int64_t last = 0;
  char strand = '.';  // '+', '-' or '.'
  // The matched letters as the file gives them, read on `strand`; empty when
  // the file gives none.
  std::string_view letters;
  double score = kNoValue;
  double p_value = kNoValue;
  double q_value = kNoValue;
};

// What one line of a site file holds: nothing to read (a header, a comment,
// an empty line), a hit, or a problem that skips the line.
struct SiteLine {
  enum Kind { kNothing, kHit, kProblem };
  Kind kind = kNothing;
  ScannerHit hit;
  std::string problem;  // the reason, without file and line

  static SiteLine Nothing() { return {}; }
  static SiteLine Problem(std::string reason) {
    SiteLine line;
    line.kind = kProblem;
    line.problem = std::move(reason);
    return line;
  }
  static SiteLine Hit(const ScannerHit& hit) {
    SiteLine line;
    line.kind = kHit;
    line.hit = hit;
    return line;
  }
};

// The number of fields between the tabs of `line` (one more than its tabs).
std::size_t CountTabFields(std::string_view line);
// The first `limit` fields of `line` between its tabs ("a\t\tb" gives "a",
// "", "b"). A line of a million tabs costs no more than its first fields.
std::vector<std::string_view> SplitTabs(std::string_view line,
                                        std::size_t limit = 64);
// The first `limit` fields of `line` between runs of blanks and tabs, none
// empty.
std::vector<std::string_view> SplitBlanks(std::string_view line,
                                          std::size_t limit = 64);
// A whole number written in decimal digits, optionally after a '-'; nothing
// when the text is anything else or does not fit in 64 bits.
std::optional<std::int64_t> ParseWhole(std::string_view text);
// A real by the project's real rule, or kNoValue for a value given as
// missing (`missing`, e.g. "." or ""); nothing when it is not a number.
std::optional<double> ParseValue(std::string_view text,
                                 std::string_view missing);
// "expected N columns, found M".
std::string ColumnCountProblem(std::string_view expected, std::size_t found);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_SCANNER_HIT_H_
