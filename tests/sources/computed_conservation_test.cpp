#include "sources/computed_conservation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessarin {
namespace {

// Columns by hand:    1: AAA (3 pairs, 3 same)  2: CGC (3 pairs, 1 same)
//                     3: --G (no pair, 2 gaps)  4: TT- (1 pair, 1 gap)
TSeqSet HandAlignment() {
  TSeqSet set;
  for (const auto& [name, text] :
       {std::pair{"r1", "AC-T"}, std::pair{"r2 second", "AG-T"},
        std::pair{"r 3,x", "ACG-"}}) {
    TSeq& seq = set.Seqs.emplace_back();
    seq.SeqName = name;
    seq.RawSeq = seq.Seq = text;
  }
  return set;
}

WindowSettings Settings(std::uint32_t width, std::uint32_t step,
                        std::string reference = "") {
  WindowSettings settings;
  settings.width = width;
  settings.step = step;
  settings.reference = std::move(reference);
  return settings;
}

TEST(ComputedConservationTest, EveryScoreOfEveryWindowMatchesAHandCheck) {
  constexpr long double kNo = kNoScore;
  const struct Row {
    std::string name;
    WindowSettings settings;
    AString names;
    ADWord starts, ends;
    AAExt scores;
  } rows[] = {
      {"width 2, step 1: the last window reaches the last column",
       Settings(2, 1),
       {"DIFF", "GAPS"},
       {1, 2, 3},
       {2, 3, 4},
       {{100.0L * 2 / 6, 100.0L * 2 / 3, 0},
        {0, 100.0L * 2 / 6, 100.0L * 3 / 6}}},
      {"a window without a pair has no value",
       Settings(1, 2),
       {"DIFF", "GAPS"},
       {1, 3},
       {1, 3},
       {{0, kNo}, {0, 100.0L * 2 / 3}}},
      {"a window wider than the alignment is clipped",
       Settings(10, 3),
       {"DIFF", "GAPS"},
       {1},
       {4},
       {{100.0L * 2 / 7}, {100.0L * 3 / 12}}},
      {"against a reference named by its first word",
       Settings(2, 1, "r2"),
       {"DIFF_r1", "DIFF_r3_x", "GAPS"},
       {1, 2, 3},
       {2, 3, 4},
       {{100.0L * 1 / 2, 100.0L * 1 / 1, 0},
        {100.0L * 1 / 2, 100.0L * 1 / 1, kNo},
        {0, 100.0L * 2 / 6, 100.0L * 3 / 6}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TConserved data;
    RecordingSink sink;
    ASSERT_TRUE(ComputeConservation(HandAlignment(), row.settings, data, sink));
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(data.ScoreNames, row.names);
    EXPECT_EQ(data.NScores, static_cast<std::int32_t>(row.names.size()));
    EXPECT_EQ(data.WinStart, row.starts);
    EXPECT_EQ(data.WinEnd, row.ends);
    EXPECT_EQ(data.Scores, row.scores);
    AExt cutoffs(row.names.size(), kDefaultDiffCutoff);
    cutoffs.back() = kDefaultGapsCutoff;
    EXPECT_EQ(data.Cutoffs, cutoffs);
  }
}

TEST(ComputedConservationTest, UnknownReferenceChangesNothing) {
  TConserved data;
  data.NScores = 7;
  RecordingSink sink;
  EXPECT_FALSE(
      ComputeConservation(HandAlignment(), Settings(2, 1, "r9"), data, sink));
  EXPECT_EQ(sink.texts, std::vector<std::string>{
                            "No sequence named \"r9\" for the reference"});
  EXPECT_EQ(data.NScores, 7);
}

TEST(ComputedConservationTest, WrittenFileReadsBackToTheSameData) {
  TConserved computed;
  NullSink quiet;
  ASSERT_TRUE(ComputeConservation(HandAlignment(), Settings(2, 1, "r1"),
                                  computed, quiet));
  computed.Cutoffs[0] = 12.345L;  // a changed cut-off is what is written
  std::ostringstream file;
  WriteConservationFile(computed, file);
  TConserved read;
  RecordingSink sink;
  ReadConservationLines(LineText(file.str()), read, sink);
  EXPECT_TRUE(sink.texts.empty()) << file.str();
  EXPECT_EQ(read.ScoreNames, computed.ScoreNames);
  EXPECT_EQ(read.Cutoffs, computed.Cutoffs);
  EXPECT_EQ(read.Scores, computed.Scores);
  EXPECT_EQ(read.WinStart, computed.WinStart);
  EXPECT_EQ(read.WinEnd, computed.WinEnd);
  EXPECT_EQ(read.StatNames, computed.StatNames);
}

TEST(ComputedConservationTest, WindowSettingsAreWidthAndStep) {
  const auto settings = ParseWindowSettings("20:5");
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->width, 20u);
  EXPECT_EQ(settings->step, 5u);
  EXPECT_EQ(ParseWindowSettings("")->width, 100u);
  EXPECT_EQ(ParseWindowSettings("7")->step, 1u);
  for (const char* bad :
       {"0", "5:0", "x", "5:", ":5", "-5", "5:2:1", "4294967296"}) {
    EXPECT_FALSE(ParseWindowSettings(bad)) << bad;
  }
}

}  // namespace
}  // namespace tessarin
