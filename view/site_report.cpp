#include "view/site_report.h"

#include <algorithm>
#include <vector>

#include "alignment/seq.h"
#include "text/background.h"

namespace tessarin {

namespace {

// What the scanner said about table row `row` of factor `factor`, if it did.
const TSiteDetail* DetailOf(const TSiteDetails& details, std::size_t factor,
                            std::size_t row) {
  if (factor >= details.size() || row >= details[factor].size()) {
    return nullptr;
  }
  return &details[factor][row];
}

// The letters of a table row as read; empty for a site given by length.
std::string LettersOf(const TTFSet& factor, std::size_t row) {
  if (factor.MatchType == kMatchLength || row >= factor.Sites.size()) {
    return {};
  }
  return factor.Sites[row];
}

// The fields every row has, placed or not.
SiteReportRow StartRow(const ReadInData& data, std::size_t factor_index,
                       std::size_t table_row) {
  const TTFSet& factor = data.factors[factor_index];
  SiteReportRow row;
  row.factor = factor_index;
  row.table_row = table_row;
  row.factor_name = factor.Name;
  row.letters = LettersOf(factor, table_row);
  if (const TSiteDetail* detail =
          DetailOf(data.site_details, factor_index, table_row)) {
    row.strand = detail->strand;
    row.score = detail->score;
    row.p_value = detail->p_value;
  }
  row.rows = data.alignment ? data.alignment->Seqs.size() : 0;
  return row;
}

// conserved_before[c]: how many of columns 1..c are conserved.
std::vector<std::uint32_t> ConservedBefore(
    const std::vector<ColumnRange>& conserved, std::uint64_t length) {
  std::vector<std::uint32_t> before(length + 1, 0);
  std::size_t next = 0;
  for (std::uint64_t c = 1; c <= length; ++c) {
    while (next < conserved.size() && conserved[next].last < c) ++next;
    const bool in = next < conserved.size() && conserved[next].first <= c;
    before[c] = before[c - 1] + (in ? 1 : 0);
  }
  return before;
}

// The placed sites' indices ordered by first column, then view order: a
// counting sort, linear in sites plus columns.
std::vector<std::size_t> ByColumn(const std::vector<PlacedSite>& sites,
                                  std::uint64_t length) {
  std::vector<std::size_t> by_column(sites.size());
  std::vector<std::size_t> start(length + 2, 0);
  for (const PlacedSite& site : sites) ++start[site.first_column + 1];
  for (std::uint64_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  for (std::size_t i = 0; i < sites.size(); ++i) {
    by_column[start[sites[i].first_column]++] = i;
  }
  return by_column;
}

// `by_column` ordered by factor, keeping the column order within each.
std::vector<std::size_t> ByFactorAndColumn(
    const std::vector<PlacedSite>& sites,
    const std::vector<std::size_t>& by_column, std::size_t factors) {
  std::vector<std::size_t> ordered(sites.size());
  std::vector<std::size_t> start(factors + 1, 0);
  for (const PlacedSite& site : sites) ++start[site.factor + 1];
  for (std::size_t f = 1; f < start.size(); ++f) start[f] += start[f - 1];
  for (const std::size_t i : by_column) ordered[start[sites[i].factor]++] = i;
  return ordered;
}

// shared_by of every placed site. The sites of one factor are taken in
// column order: each row's sites merge into disjoint runs, and a pointer per
// row walks its runs once while the sites are asked about in turn.
std::vector<std::size_t> SharedBy(const std::vector<PlacedSite>& sites,
                                  const std::vector<std::size_t>& by_column,
                                  std::size_t factors, std::size_t rows) {
  std::vector<std::size_t> shared(sites.size(), 0);
  const std::vector<std::size_t> ordered =
      ByFactorAndColumn(sites, by_column, factors);
  std::vector<std::vector<ColumnRange>> runs(rows);
  std::vector<std::size_t> next(rows, 0);
  std::vector<std::size_t> touched;
  std::size_t lo = 0;
  while (lo < ordered.size()) {
    const std::size_t factor = sites[ordered[lo]].factor;
    std::size_t hi = lo;
    while (hi < ordered.size() && sites[ordered[hi]].factor == factor) ++hi;
    for (const std::size_t q : touched) runs[q].clear();
    touched.clear();
    for (std::size_t k = lo; k < hi; ++k) {
      const PlacedSite& site = sites[ordered[k]];
      std::vector<ColumnRange>& row_runs = runs[site.seq];
      if (row_runs.empty()) touched.push_back(site.seq);
      if (!row_runs.empty() && site.first_column <= row_runs.back().last) {
        row_runs.back().last = std::max(row_runs.back().last, site.last_column);
      } else {
        row_runs.push_back({site.first_column, site.last_column});
      }
    }
    for (const std::size_t q : touched) next[q] = 0;
    for (std::size_t k = lo; k < hi; ++k) {
      const PlacedSite& site = sites[ordered[k]];
      std::size_t count = 0;
      for (const std::size_t q : touched) {
        if (q == site.seq) continue;
        const std::vector<ColumnRange>& row_runs = runs[q];
        std::size_t& n = next[q];
        while (n < row_runs.size() && row_runs[n].last < site.first_column) ++n;
        if (n < row_runs.size() && row_runs[n].first <= site.last_column) {
          ++count;
        }
      }
      shared[ordered[k]] = count;
    }
    lo = hi;
  }
  return shared;
}

// How many other rows hold exactly the residues of `site`'s row in its
// columns, gaps left out (the text compared is upper case, so case does not
// count). Each row is read only until it differs, which for most rows is
// within a letter or two.
std::size_t IdenticalIn(const TSeqSet& alignment,
                        const std::vector<GapTable>& gaps,
                        const PlacedSite& site, std::string& residues) {
  const auto first = static_cast<std::size_t>(site.first_column - 1);
  const auto last = static_cast<std::size_t>(site.last_column);
  residues.clear();
  const std::string& own = alignment.Seqs[site.seq].Seq;
  for (std::size_t c = first; c < last && c < own.size(); ++c) {
    if (!gaps[site.seq](own[c])) residues += own[c];
  }
  std::size_t count = 0;
  for (std::size_t q = 0; q < alignment.Seqs.size(); ++q) {
    if (q == site.seq) continue;
    const std::string& other = alignment.Seqs[q].Seq;
    const GapTable& gap = gaps[q];
    const std::size_t end = std::min(last, other.size());
    std::size_t matched = 0;
    bool same = true;
    for (std::size_t c = first; c < end; ++c) {
      if (gap(other[c])) continue;
      if (matched == residues.size() || residues[matched] != other[c]) {
        same = false;
        break;
      }
      ++matched;
    }
    if (same && matched == residues.size()) ++count;
  }
  return count;
}

}  // namespace

std::string_view InConservedName(InConserved value) {
  switch (value) {
    case InConserved::kFull:
      return "full";
    case InConserved::kPartial:
      return "partial";
    case InConserved::kNone:
      break;
  }
  return "none";
}

std::string_view UnplacedReasonText(UnplacedReason reason) {
  switch (reason) {
    case UnplacedReason::kUnknownSequence:
      return "unknown sequence";
    case UnplacedReason::kBeforeSequence:
      return "position before the sequence";
    case UnplacedReason::kBeyondSequence:
      return "position beyond the sequence";
    case UnplacedReason::kEmpty:
      return "length below 1";
    case UnplacedReason::kNoUpperCase:
      return "no upper-case letter";
    case UnplacedReason::kIncompleteEntry:
      return "incomplete table row";
    case UnplacedReason::kUnknownMatchType:
      return "unknown match type";
  }
  return "not placed";
}

SiteReport BuildSiteReport(const ReadInData& data,
                           const AnnotatedView& annotated) {
  SiteReport report;
  const TSeqSet* alignment = data.alignment.get();
  const std::size_t factors = data.factors.size();
  report.summary.resize(factors);
  for (std::size_t f = 0; f < factors; ++f) {
    report.summary[f].factor = data.factors[f].Name;
    report.summary[f].sites = data.factors[f].SeqNames.size();
  }
  const std::vector<PlacedSite>& sites = annotated.sites;
  if (alignment != nullptr && !sites.empty()) {
    std::uint64_t length = alignment->MaxLength();
    for (const PlacedSite& site : sites) {
      length = std::max(length, site.last_column);
    }
    const std::vector<std::uint32_t> conserved_before =
        ConservedBefore(annotated.conserved, length);
    const std::size_t rows = alignment->Seqs.size();
    const std::vector<std::size_t> by_column = ByColumn(sites, length);
    std::vector<GapTable> gaps;
    gaps.reserve(rows);
    for (const TSeq& seq : alignment->Seqs) gaps.emplace_back(seq);
    // In column order, so that the rows are read front to back once rather
    // than at random: most of the report's time is these reads.
    std::vector<std::size_t> identical(sites.size(), 0);
    auto count_identical = [&](std::size_t from, std::size_t to) {
      std::string residues;
      for (std::size_t k = from; k < to; ++k) {
        const std::size_t i = by_column[k];
        identical[i] = IdenticalIn(*alignment, gaps, sites[i], residues);
      }
    };
    // A helper counts the first two thirds of the sites while this thread
    // works out shared_by, which takes about a third as long, and counts
    // the rest. Each site's count is written by one thread only.
    std::vector<std::size_t> shared;
    const std::size_t split = by_column.size() / 3 * 2;
    auto helper_part = [&] { count_identical(0, split); };
    auto own_part = [&] {
      shared = SharedBy(sites, by_column, factors, rows);
      count_identical(split, by_column.size());
    };
    if (!RunBeside(helper_part, own_part, [] {})) {
      helper_part();
      own_part();
    }
    report.rows.reserve(sites.size() + annotated.unplaced.size());
    for (std::size_t i = 0; i < sites.size(); ++i) {
      const PlacedSite& site = sites[i];
      SiteReportRow row = StartRow(data, site.factor, site.row);
      row.sequence = alignment->Seqs[site.seq].SeqName;
      row.seq = site.seq;
      row.start = site.start;
      row.end = site.end;
      row.first_column = site.first_column;
      row.last_column = site.last_column;
      if (site.compared) {
        row.matches = site.matches;
        row.mismatches = site.mismatches;
      }
      row.conserved_columns = conserved_before[site.last_column] -
                              conserved_before[site.first_column - 1];
      const std::uint64_t width = site.last_column - site.first_column + 1;
      row.in_conserved = row.conserved_columns == 0 ? InConserved::kNone
                         : row.conserved_columns == width
                             ? InConserved::kFull
                             : InConserved::kPartial;
      row.shared_by = shared[i];
      row.identical_in = identical[i];
      FactorSummary& summary = report.summary[site.factor];
      ++summary.placed;
      summary.full += row.in_conserved == InConserved::kFull ? 1 : 0;
      summary.partial += row.in_conserved == InConserved::kPartial ? 1 : 0;
      summary.in_every_row += row.shared_by + 1 == rows ? 1 : 0;
      report.rows.push_back(std::move(row));
    }
  }
  for (const UnplacedSite& site : annotated.unplaced) {
    SiteReportRow row = StartRow(data, site.factor, site.row);
    const TTFSet& factor = data.factors[site.factor];
    if (site.row < factor.SeqNames.size()) {
      row.sequence = factor.SeqNames[site.row];
    }
    if (site.row < factor.Positions.size()) {
      row.start = factor.Positions[site.row];
    }
    row.unplaced = site.reason;
    report.rows.push_back(std::move(row));
  }
  return report;
}

bool Keeps(const ReportFilter& filter, const SiteReportRow& row) {
  if (filter.only_conserved && row.in_conserved == InConserved::kNone) {
    return false;
  }
  if (filter.min_shared > 0 &&
      (!row.Placed() || row.shared_by < filter.min_shared)) {
    return false;
  }
  return true;
}

}  // namespace tessarin
