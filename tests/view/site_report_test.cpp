// The site report against the example, against the view it is read from,
// and in its three file formats.
#include "view/site_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/view/view_test_support.h"
#include "text/message_sink.h"
#include "view/conservation_highlight.h"
#include "view/row_layout.h"
#include "view/site_report_writers.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

SiteReport Annotate(const ReadInData& data, AnnotatedView& annotated) {
  NullSink sink;
  AnnotateTFSites(data, annotated, sink);
  const AByte criteria(data.conservation.ScoreNames.size(), 1);
  HighlightConservedWindows(data, criteria, annotated);
  return BuildSiteReport(data, annotated);
}

// Checked by hand against the example's files: the columns of each site,
// the conserved stretches 11-40, 61-80, 91-120, 131-150, 161-190 and
// 231-241, and the rows' letters there.
TEST(SiteReportTest, ExampleRowsSayWhereEachSiteIsConservedAndShared) {
  ReadInData data;
  AnnotatedView annotated;
  view_test::AnnotateExample(data, annotated);
  const SiteReport report = BuildSiteReport(data, annotated);
  // factor, sequence, in_conserved, shared_by, identical_in
  const std::vector<std::string> expected = {
      "AP-1 human partial 5 3",   "AP-1 human full 3 5",
      "TBP human full 5 4",       "SP1 human full 3 5",
      "SP1 human full 3 4",       "CREB human full 4 5",
      "AP-1 mouse partial 5 1",   "AP-1 mouse full 3 5",
      "TBP mouse full 5 4",       "SP1 mouse full 3 5",
      "SP1 mouse full 3 4",       "CREB mouse full 4 5",
      "AP-1 rat partial 5 1",     "AP-1 rat full 3 5",
      "TBP rat full 5 4",         "CREB rat full 4 5",
      "AP-1 dog partial 5 3",     "AP-1 dog full 3 5",
      "TBP dog full 5 4",         "SP1 dog full 3 5",
      "SP1 dog full 3 4",         "CREB dog full 4 5",
      "AP-1 cow partial 5 3",     "TBP cow full 5 4",
      "SP1 cow full 3 5",         "SP1 cow full 3 0",
      "AP-1 chicken partial 5 3", "TBP chicken full 5 0",
      "CREB chicken full 4 5"};
  std::vector<std::string> rows;
  for (const SiteReportRow& row : report.rows) {
    rows.push_back(row.factor_name + " " + row.sequence + " " +
                   std::string(InConservedName(row.in_conserved)) + " " +
                   std::to_string(row.shared_by) + " " +
                   std::to_string(row.identical_in));
  }
  EXPECT_EQ(rows, expected);
  // AP-1 of mouse reads TGAGTCA where the table says TGACTCA.
  EXPECT_EQ(report.rows[6].matches, 6u);
  EXPECT_EQ(report.rows[6].mismatches, 1u);
  EXPECT_EQ(report.rows[6].conserved_columns, 3u);
  // TBP is case-sensitive: its upper-case run TATAAA, columns 185 to 190.
  EXPECT_EQ(report.rows[2].start, 178);
  EXPECT_EQ(report.rows[2].end, 183);
  EXPECT_EQ(report.rows[2].first_column, 185u);
  EXPECT_EQ(report.summary[0].in_every_row, 6u);
  EXPECT_EQ(report.summary[2].in_every_row, 0u);
}

// Random rows with gaps, sites of two factors that never overlap on a row
// (so each letter's style belongs to one site), some that cannot be placed,
// and random windows: the report's counts are the view's own. The rows
// differ in length and in which characters are gaps ('.' is one only in odd
// rows), and identical_in is the plain count of rows with the same
// residues.
TEST(SiteReportTest, CountsAreTheViewsOwnAndEverySiteIsAccountedFor) {
  std::mt19937 random(7);
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>();
  const int rows = 5;
  const int columns = 400;
  for (int r = 0; r < rows; ++r) {
    TSeq& seq = data.alignment->Seqs.emplace_back();
    seq.SeqName = "row" + std::to_string(r);
    for (int c = 0; c < columns - 100 * (r % 3); ++c) {
      // Few letters, so that some sites' residues recur in other rows.
      seq.Seq += "AC-."[random() % 4];
    }
    seq.Gap1 = r % 2 == 1 ? "." : "~";
    seq.RawSeq = seq.Seq;
  }
  std::size_t read = 0;
  for (int f = 0; f < 2; ++f) {
    TTFSet& factor = data.factors.emplace_back();
    factor.Name = "F" + std::to_string(f);
    factor.Color = 0xFF;
    factor.MatchType = f == 0 ? kMatchDirect : kMatchLength;
    for (int r = 0; r <= rows; ++r) {  // row `rows` does not exist
      const std::string name = "row" + std::to_string(r);
      // Factor 0 on even tens, factor 1 on odd ones: no overlap on a row.
      for (std::int64_t p = 1 + 10 * f; p < 330; p += 20) {
        factor.SeqNames.push_back(name);
        factor.Positions.push_back(static_cast<std::uint32_t>(p));
        factor.Labels.push_back("x");
        factor.Sites.push_back("ACGTAC");
        factor.Lengths.push_back(5);
        ++read;
      }
    }
  }
  TConserved& windows = data.conservation;
  windows.NScores = 1;
  windows.ScoreNames = {"S"};
  windows.Cutoffs = {0.5L};
  windows.Scores.emplace_back();
  for (std::uint32_t start = 1; start <= columns; start += 7) {
    windows.WinStart.push_back(start);
    windows.WinEnd.push_back(start + 12);
    windows.Scores[0].push_back((random() % 3 == 0) ? 0.1L : 0.9L);
  }

  AnnotatedView annotated;
  const SiteReport report = Annotate(data, annotated);
  const RichView& view = annotated.view;
  auto residues = [&](std::size_t q, std::uint64_t first, std::uint64_t last) {
    const TSeq& seq = data.alignment->Seqs[q];
    const GapTable gap(seq);
    std::string kept;
    for (std::uint64_t c = first - 1; c < last && c < seq.Seq.size(); ++c) {
      if (!gap(seq.Seq[c])) kept += seq.Seq[c];
    }
    return kept;
  };
  std::size_t placed = 0;
  std::size_t unplaced = 0;
  for (const SiteReportRow& row : report.rows) {
    if (!row.Placed()) {
      ++unplaced;
      continue;
    }
    ++placed;
    std::uint64_t bold = 0, struck = 0, yellow = 0;
    const std::size_t line = annotated.line_index[row.seq];
    const std::uint64_t first =
        LineStart(view, line) +
        ColumnOffset(RowPrefixLength(row.sequence), row.first_column);
    for (std::uint64_t c = 0; c <= row.last_column - row.first_column; ++c) {
      const auto& attributes = view.Attributes(first + c);
      bold += (attributes.style & kFontBold) != 0;
      struck += (attributes.style & kFontStrikeOut) != 0;
      yellow += attributes.back == kConservedBackground;
    }
    EXPECT_EQ(row.matches.value_or(0), bold);
    EXPECT_EQ(row.mismatches.value_or(0), struck);
    EXPECT_EQ(row.conserved_columns, yellow);
    EXPECT_EQ(row.matches.has_value(), row.factor == 0);
    const std::string own =
        residues(row.seq, row.first_column, row.last_column);
    std::size_t identical = 0;
    for (std::size_t q = 0; q < rows; ++q) {
      identical +=
          q != row.seq && residues(q, row.first_column, row.last_column) == own;
    }
    EXPECT_EQ(row.identical_in, identical) << row.sequence << " " << *row.start;
  }
  EXPECT_EQ(placed + unplaced, read);
  EXPECT_GT(unplaced, std::size_t{2 * 17});  // at least the unknown row's
  EXPECT_GT(placed, std::size_t{100});
}

TEST(SiteReportTest, UnplacedSitesSayWhy) {
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>();
  TSeq& seq = data.alignment->Seqs.emplace_back();
  seq.SeqName = "human";
  seq.RawSeq = seq.Seq = "AC-GTACGT";
  TTFSet& direct = data.factors.emplace_back();
  direct.Name = "D";
  direct.MatchType = kMatchDirect;
  const struct {
    const char* seq;
    std::uint32_t position;
    const char* letters;
  } rows[] = {{"mouse", 1, "AC"}, {"human", 7, "GTA"}, {"human", 2, "CG"}};
  for (const auto& row : rows) {
    direct.SeqNames.push_back(row.seq);
    direct.Positions.push_back(row.position);
    direct.Labels.push_back("D");
    direct.Sites.push_back(row.letters);
  }
  TTFSet& cased = data.factors.emplace_back();
  cased.Name = "C";
  cased.MatchType = kMatchCaseSensitive;
  cased.SeqNames = {"human"};
  cased.Positions = {1};
  cased.Labels = {"C"};
  cased.Sites = {"acg"};
  TTFSet& length = data.factors.emplace_back();
  length.Name = "L";
  length.MatchType = kMatchLength;
  length.SeqNames = {"human", "human"};
  length.Positions = {3, 4};
  length.Labels = {"L", "L"};
  length.Lengths = {0};  // the second row has no length

  AnnotatedView annotated;
  const SiteReport report = Annotate(data, annotated);
  std::vector<std::string> reasons;
  for (const SiteReportRow& row : report.rows) {
    reasons.push_back(row.factor_name + " " + row.sequence + " " +
                      (row.Placed()
                           ? "placed"
                           : std::string(UnplacedReasonText(*row.unplaced))));
  }
  EXPECT_EQ(reasons,
            (std::vector<std::string>{
                "D human placed", "D mouse unknown sequence",
                "D human position beyond the sequence",
                "C human no upper-case letter", "L human length below 1",
                "L human incomplete table row"}));
}

// One row with every kind of value, one without most, one unplaced.
SiteReport SmallReport() {
  SiteReport report;
  SiteReportRow full;
  full.factor_name = "AP-1";
  full.sequence = "human\tchr7";  // a tab: a space in TSV, escaped in JSON
  full.strand = '+';
  full.start = 5;
  full.end = 8;
  full.first_column = 6;
  full.last_column = 10;
  full.letters = "TGAC";
  full.matches = 3;
  full.mismatches = 1;
  full.score = 12.5;
  full.p_value = 1e-5;
  full.conserved_columns = 5;
  full.in_conserved = InConserved::kFull;
  full.shared_by = 1;
  full.identical_in = 1;
  full.rows = 2;
  SiteReportRow bare = full;
  bare.strand = '.';
  bare.letters.clear();
  bare.matches.reset();
  bare.mismatches.reset();
  bare.score = bare.p_value = kNoValue;
  bare.conserved_columns = 2;
  bare.in_conserved = InConserved::kPartial;
  bare.shared_by = 0;
  SiteReportRow lost;
  lost.factor_name = "SP1";
  lost.sequence = "rat";
  lost.start = 3;
  lost.rows = 2;
  lost.unplaced = UnplacedReason::kUnknownSequence;
  report.rows = {full, bare, lost};
  report.summary = {{"AP-1", 2, 2, 1, 1, 0}, {"SP1", 1, 0, 0, 0, 0}};
  return report;
}

TEST(SiteReportWritersTest, TsvJsonAndBedHoldTheRowsTheFilterKeeps) {
  const SiteReport report = SmallReport();
  std::ostringstream tsv;
  WriteReportTsv(report, {}, tsv);
  EXPECT_EQ(
      tsv.str(),
      "factor\tsequence\tstrand\tstart\tend\tfirst_column\tlast_column\t"
      "letters\tmatches\tmismatches\tscore\tp_value\tconserved_columns\t"
      "in_conserved\tshared_by\tidentical_in\trows\treason\n"
      "AP-1\thuman chr7\t+\t5\t8\t6\t10\tTGAC\t3\t1\t12.5\t1e-05\t5\t"
      "full\t1\t1\t2\t\n"
      "AP-1\thuman chr7\t.\t5\t8\t6\t10\t\t\t\t\t\t2\tpartial\t0\t1\t2\t\n"
      "SP1\trat\t.\t3\t\t\t\t\t\t\t\t\t\t\t\t\t2\tunknown sequence\n");

  std::ostringstream json;
  WriteReportJson(report, {.only_conserved = false, .min_shared = 1}, json);
  EXPECT_EQ(
      json.str(),
      "{\n  \"sites\": [\n    {\"factor\":\"AP-1\",\"sequence\":\"human\\t"
      "chr7\",\"strand\":\"+\",\"start\":5,\"end\":8,\"first_column\":6,"
      "\"last_column\":10,\"letters\":\"TGAC\",\"matches\":3,"
      "\"mismatches\":1,\"score\":12.5,\"p_value\":1e-05,"
      "\"conserved_columns\":5,\"in_conserved\":\"full\",\"shared_by\":1,"
      "\"identical_in\":1,\"rows\":2,\"reason\":null}\n  ],\n"
      "  \"summary\": [\n    {\"factor\":\"AP-1\",\"sites\":2,"
      "\"placed\":2,\"in_conserved_full\":1,\"in_conserved_partial\":1,"
      "\"shared_by_every_row\":0},\n    {\"factor\":\"SP1\",\"sites\":1,"
      "\"placed\":0,\"in_conserved_full\":0,\"in_conserved_partial\":0,"
      "\"shared_by_every_row\":0}\n  ]\n}\n");

  TSeqSet alignment;
  alignment.Seqs.resize(2);
  alignment.Seqs[0].SeqName = "human chr7";
  alignment.Seqs[1].SeqName = "../rat";
  const std::vector<SiteOrigin> none;
  const std::vector<SiteOrigin> minus = {{"human", "chr7", 1000, true}};
  const auto plain = ReportBedTracks(report, {}, alignment, none);
  const auto mapped = ReportBedTracks(report, {}, alignment, minus);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].file_name, "human_chr7.bed");
  EXPECT_EQ(plain[1].file_name, "_.._rat.bed");
  EXPECT_EQ(plain[0].text,
            "human\t4\t8\tAP-1\t1000\t+\nhuman\t4\t8\tAP-1\t400\t.\n");
  EXPECT_EQ(plain[1].text, "");
  // Positions 5 to 8 of a reverse-strand row whose first residue is 1000.
  EXPECT_EQ(mapped[0].text,
            "chr7\t992\t996\tAP-1\t400\t.\nchr7\t992\t996\tAP-1\t1000\t-\n");
}

}  // namespace
}  // namespace tessarin
