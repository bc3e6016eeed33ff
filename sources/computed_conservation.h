// Conservation computed from the alignment itself, for users without a
// conservation file: scores over sliding windows where lower means more
// conserved, so that the usual pass rule (every chosen score below its
// cut-off) applies unchanged. The result fills the same record the
// conservation file does, and can be written as such a file.
#ifndef TESSARIN_SOURCES_COMPUTED_CONSERVATION_H_
#define TESSARIN_SOURCES_COMPUTED_CONSERVATION_H_

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "alignment/seq_set.h"
#include "sources/conserved.h"
#include "text/message_sink.h"

namespace tessarin {

inline constexpr std::string_view kDiffScore = "DIFF";
inline constexpr std::string_view kGapsScore = "GAPS";
inline constexpr long double kDefaultDiffCutoff = 30;  // 70 % identity
inline constexpr long double kDefaultGapsCutoff = 50;
// The value of a window that has no pair of residues to compare: above
// every cut-off, so it never passes, and written and read back exactly.
inline constexpr long double kNoScore = std::numeric_limits<long double>::max();

struct WindowSettings {
  std::uint32_t width = 100;
  std::uint32_t step = 1;
  // Empty: one DIFF score over all pairs of rows. Otherwise the row named so
  // (as sites name rows) and one score DIFF_<row> per other row.
  std::string reference;
};

// "W" or "W:S" with whole numbers of at least 1 (S defaults to 1); the empty
// text gives the defaults. Nothing for any other text.
std::optional<WindowSettings> ParseWindowSettings(std::string_view text);

// Replaces `data` by windows of `settings.width` columns starting at columns 1,
// 1 + step, ... up to the first window that reaches the last column, which
// is clipped to it. Scores, in this order:
//   DIFF: 100 times the share of differing pairs among all pairs of rows
//     whose two characters in a column are both residues, summed over the
//     window (identical means the same byte of Seq); kNoScore without a pair;
//   or with a reference, DIFF_<row> for every other row: the same over the
//     pairs of that row with the reference;
//   GAPS: the percentage of gap characters among the window's characters.
// One statistics row, "Thresh", holds the cut-offs (DIFF 30, GAPS 50).
// Linear in rows times columns: per-column counts and running sums.
// Reports "No sequence named ... for the reference" and changes nothing when
// the reference names no row; returns whether it computed.
bool ComputeConservation(const TSeqSet& alignment,
                         const WindowSettings& settings, TConserved& data,
                         MessageSink& sink);

// Writes `data` as a conservation file that ReadConservation reads back to
// the same names, windows and values (each value in the shortest form that
// reads back exactly). The "Thresh" row carries the current Cutoffs. Every
// row of the record is written with NScores values (missing ones as 0).
void WriteConservationFile(const TConserved& data, std::ostream& out);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_COMPUTED_CONSERVATION_H_
