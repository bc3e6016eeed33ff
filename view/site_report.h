// The site report: for every binding site of the annotated view, where it
// lies, how its letters compared, how much of it lies in conserved windows,
// and whether the other rows have the same factor or the same residues
// there (phylogenetic footprinting). Read off the annotated state, so it
// always agrees with the view it belongs to.
#ifndef TESSARIN_VIEW_SITE_REPORT_H_
#define TESSARIN_VIEW_SITE_REPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/reading_in.h"
#include "view/annotated_view.h"

namespace tessarin {

enum class InConserved { kNone, kPartial, kFull };

// "none", "partial" or "full".
std::string_view InConservedName(InConserved value);
// "unknown sequence", "position beyond the sequence", ...
std::string_view UnplacedReasonText(UnplacedReason reason);

// One site. A site that marked nothing has its reason and no columns,
// comparison or conservation.
struct SiteReportRow {
  std::size_t factor = 0;  // index into the factor definitions
  std::size_t table_row = 0;
  std::string factor_name;
  std::string sequence;  // the row's name (for an unplaced site: as named)
  std::size_t seq = 0;   // the row's index in the alignment (placed only)
  char strand = '.';     // '+', '-' or '.' when the source gives none
  std::optional<std::int64_t> start;  // 1-based gapless positions
  std::optional<std::int64_t> end;
  std::uint64_t first_column = 0;  // 1-based alignment columns; 0: unplaced
  std::uint64_t last_column = 0;
  std::string letters;  // as read; empty for a site given by length
  std::optional<std::uint64_t> matches;  // bold letters; none for a length site
  std::optional<std::uint64_t> mismatches;  // struck letters
  double score = kNoValue;                  // NaN when the source gives none
  double p_value = kNoValue;
  std::uint64_t conserved_columns = 0;
  InConserved in_conserved = InConserved::kNone;
  std::size_t shared_by = 0;     // other rows with a site of the same factor
                                 // overlapping these columns
  std::size_t identical_in = 0;  // other rows with the same residues here
  std::size_t rows = 0;          // rows of the alignment
  std::optional<UnplacedReason> unplaced;

  bool Placed() const { return !unplaced.has_value(); }
};

struct FactorSummary {
  std::string factor;
  std::size_t sites = 0;         // sites of the factor's table
  std::size_t placed = 0;        // report rows with columns
  std::size_t full = 0;          // placed wholly inside conserved windows
  std::size_t partial = 0;       // placed partly inside
  std::size_t in_every_row = 0;  // shared by every other row
};

struct SiteReport {
  std::vector<SiteReportRow> rows;  // placed sites in view order, then the
                                    // unplaced ones in factor and table order
  std::vector<FactorSummary> summary;  // one per factor, in factor order
};

// Builds the report of `annotated`, the view annotated and highlighted from
// `data`. Time linear in the alignment's length and the sites' columns, plus
// the sites times the rows (each site is compared with every other row).
SiteReport BuildSiteReport(const ReadInData& data,
                           const AnnotatedView& annotated);

// Which rows a report keeps: with `only_conserved` the placed rows that lie
// at least partly in conserved windows; rows shared by fewer than
// `min_shared` other rows go too (and unplaced rows with any positive K).
struct ReportFilter {
  bool only_conserved = false;
  std::size_t min_shared = 0;
};
bool Keeps(const ReportFilter& filter, const SiteReportRow& row);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_SITE_REPORT_H_
