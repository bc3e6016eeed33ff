#include "sources/conserved.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sources/conservation_format.h"

namespace tessarin {
namespace {

namespace cf = conservation_format;

using Texts = std::vector<std::string>;

void ReadText(std::string_view content, TConserved& data, RecordingSink& sink) {
  ReadConservationLines(LineText(std::string(content)), data, sink);
}

std::string Join(const AString& texts) {
  std::string out;
  for (const std::string& text : texts) out += (out.empty() ? "" : ",") + text;
  return out;
}

std::string Join(const ADWord& values) {
  std::string out;
  for (std::uint32_t v : values) {
    out += (out.empty() ? "" : ",") + std::to_string(v);
  }
  return out;
}

std::string Join(const AExt& values) {
  std::string out;
  for (long double v : values) {
    char text[32];
    std::snprintf(text, sizeof text, "%Lg", v);
    out += (out.empty() ? "" : ",") + std::string(text);
  }
  return out;
}

std::string Join(const AAExt& rows) {
  std::string out;
  for (const AExt& row : rows) out += "[" + Join(row) + "]";
  return out;
}

// Every field of the record in one line, so that one string states the
// whole state a reading left behind.
std::string Dump(const TConserved& d) {
  return "n=" + std::to_string(d.NScores) + " names=" + Join(d.ScoreNames) +
         " cut=" + Join(d.Cutoffs) + " scores=" + Join(d.Scores) +
         " stats=" + Join(d.StatNames) + Join(d.Stats) +
         " win=" + Join(d.WinStart) + "/" + Join(d.WinEnd);
}

constexpr std::string_view kExample =
    "conservation scores of the sample alignment\n"
    "[SCORES]\n"
    "ScoreNames = ML, PI, DIST\n"
    "NSummaryStats = 3\n"
    "[[STATS]]\n"
    "# stat ML PI DIST\n"
    "Mean\t0.52\t1.3\t2.1\n"
    "Thresh 0.1 0.05 0.2\n"
    "Max 0.99 4.5 6.0\n"
    "[[TABLE]]\n"
    "# start end ML PI DIST\n"
    "1 10 0.05 0.01 0.1\n"
    "6 15 N/A 0.2 0.3\n"
    "11 20 0.3 0.04 0.15\n"
    "*\n";

TEST(ReadConservationTest, ReadsThreeScoreExample) {
  TConserved data;
  RecordingSink sink;
  ReadText(kExample, data, sink);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(data.NScores, 3);
  EXPECT_EQ(data.ScoreNames, (AString{"ML", "PI", "DIST"}));
  EXPECT_EQ(data.StatNames, (AString{"Mean", "Thresh", "Max"}));
  // Values are exactly the long doubles nearest to the decimal texts.
  EXPECT_EQ(data.Cutoffs, (AExt{0.1L, 0.05L, 0.2L}));
  EXPECT_EQ(
      data.Stats,
      (AAExt{{0.52L, 1.3L, 2.1L}, {0.1L, 0.05L, 0.2L}, {0.99L, 4.5L, 6.0L}}));
  EXPECT_EQ(data.WinStart, (ADWord{1, 6, 11}));
  EXPECT_EQ(data.WinEnd, (ADWord{10, 15, 20}));
  EXPECT_EQ(
      data.Scores,
      (AAExt{{0.05L, -1.0L, 0.3L}, {0.01L, 0.2L, 0.04L}, {0.1L, 0.3L, 0.15L}}));
}

TEST(ReadConservationTest, LayoutVariantsReadAlike) {
  struct Case {
    const char* name;
    const char* content;
    const char* dump;
  };
  const Case cases[] = {
      {"lower-case header on the first line, key with tab and two blanks",
       "[scores]\nScoreNames\t =ML\nNSummaryStats  = 1\n[[STATS]]\n"
       "Thresh 0.5\n[[TABLE]]\n1 5 0.25\n*",
       "n=1 names=ML cut=0.5 scores=[0.25] stats=Thresh[0.5] win=1/5"},
      {"only ',' separates names; ';' and blanks vanish",
       "[SCORES]\nScoreNames = a; b,c\nNSummaryStats = 1\n[[STATS]]\n"
       "Thresh 1 2\n[[TABLE]]\n1 5 3 4\n*",
       "n=2 names=ab,c cut=1,2 scores=[3][4] stats=Thresh[1,2] win=1/5"},
      {"comment rows use up statistics rows; the first Thresh counts",
       "[SCORES]\nScoreNames = A\nNSummaryStats = 4\n[[STATS]]\n# head\n"
       "Thresh 1\n# a row\nThresh 2\nMax 3\n[[TABLE]]\n1 5 0\n*",
       "n=1 names=A cut=1 scores=[0] stats=Thresh,,Thresh,Max[1][][2][3] "
       "win=1/5"},
      {"short table rows repeat their last field, extra columns ignored",
       "[SCORES]\nScoreNames = A,B\nNSummaryStats = 1\n[[STATS]]\n"
       "Thresh 1 1\n[[TABLE]]\n1 5 0.5 0.75 9 9\n6 10 0.25\n*",
       "n=2 names=A,B cut=1,1 scores=[0.5,0.25][0.75,0.25] stats=Thresh[1,1] "
       "win=1,6/5,10"},
      {"without end marker the table runs to the last line",
       "[SCORES]\nScoreNames = A\nNSummaryStats = 1\n[[STATS]]\nThresh 1\n"
       "[[TABLE]]\n1 5 2\n6 10 3",
       "n=1 names=A cut=1 scores=[2,3] stats=Thresh[1] win=1,6/5,10"},
      {"N/A in the ML column only; window columns keep the low 32 bits",
       "[SCORES]\nScoreNames = PI,ML\nNSummaryStats = 1\n[[STATS]]\n"
       "Thresh 1 1\n[[TABLE]]\n-1 $10 1e-3 N/A\n*",
       "n=2 names=PI,ML cut=1,1 scores=[0.001][-1] stats=Thresh[1,1] "
       "win=4294967295/16"},
      {"a table row of 10000 fields is read for its first columns only",
       nullptr, "n=1 names=A cut=1 scores=[0.5] stats=Thresh[1] win=1/5"},
  };
  std::string wide =
      "[SCORES]\nScoreNames = A\nNSummaryStats = 1\n[[STATS]]\nThresh 1\n"
      "[[TABLE]]\n1 5 0.5";
  for (int i = 0; i < 10000; ++i) wide += " x";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TConserved data;
    RecordingSink sink;
    ReadText(c.content != nullptr ? c.content : wide.c_str(), data, sink);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(Dump(data), c.dump);
  }
}

// Each row: a file, the one message it gives, and the record it leaves when
// read into an empty one.
TEST(ReadConservationTest, BadInputStopsWithItsMessage) {
  struct Case {
    std::string content;
    std::string message;
    const char* dump;
  };
  const std::string head = "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 2\n";
  const std::string stats = head + "[[STATS]]\nMean 1 2\nThresh 0.5 0.25\n";
  const std::string msg_stats_value = std::string(cf::kBadStatsValue);
  const char* const kNothing = "n=0 names= cut= scores= stats= win=/";
  const char* const kNames = "n=2 names=ML,PI cut= scores= stats= win=/";
  const char* const kStats =
      "n=2 names=ML,PI cut= scores= stats=Mean,Thresh[1,2][0.5,0.25] win=/";
  const Case cases[] = {
      {"", std::string(cf::kNoBlock), kNothing},
      {"[SCORES] x\nScoreNames = A\n", std::string(cf::kNoBlock), kNothing},
      {"[SCORES]\nScoreNames= A\n", std::string(cf::kScoreNamesNotFound),
       kNothing},
      {"ScoreNames = A\n[SCORES]\nscorenames = A\n",
       std::string(cf::kScoreNamesNotFound), kNothing},
      {"[SCORES]\nScoreNames = ; \t;\n", std::string(cf::kNoScoreNames),
       kNothing},
      {"[SCORES]\nScoreNames = ML, PI\n", std::string(cf::kStatsCountNotFound),
       kNames},
      {"[SCORES]\nNSummaryStats = 2\nScoreNames = ML, PI\n",
       std::string(cf::kStatsCountNotFound), kNames},
      {"[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 2.0\n",
       std::string(cf::kBadStatsCount) + "2.0", kNames},
      {"[SCORES]\nScoreNames = ML, PI\nNSummaryStats = -1 ;\n",
       std::string(cf::kBadStatsCount) + "-1", kNames},
      {"[SCORES]\nScoreNames = ML, PI\nNSummaryStats =\n",
       std::string(cf::kBadStatsCount), kNames},
      {head + "[[STATS ]]\n", std::string(cf::kStatsNotFound), kNames},
      {head + "[[STATS]]\nMean 1 2\nThresh 0.5\n[[TABLE]]\n1 5 0 0\n",
       std::string(cf::kBadStatsSection),
       "n=2 names=ML,PI cut= scores= stats=Mean,[1,2][] win=/"},
      {head + "[[STATS]]\nMean 1 2\n\n[[TABLE]]\n1 5 0 0\n",
       std::string(cf::kBadStatsSection),
       "n=2 names=ML,PI cut= scores= stats=Mean,[1,2][] win=/"},
      {head + "[[STATS]]\nMean 1 2\n", std::string(cf::kBadStatsSection),
       kNames},
      {head + "[[STATS]]\nMean 1 2\nThresh 0.5 N/A\n", msg_stats_value + "N/A",
       "n=2 names=ML,PI cut= scores= stats=Mean,Thresh[1,2][0.5,0] win=/"},
      {stats + "[[TABLE ]]\n1 5 0 0\n", std::string(cf::kTableNotFound),
       kStats},
      {stats + "[[TABLE]]\n*\n1 5 0 0\n", std::string(cf::kEmptyTable), kStats},
      {stats + "[[TABLE]]\n# comment\n", std::string(cf::kEmptyTable), kStats},
      {stats + "*\n[[TABLE]]\n1 5 0 0\n", std::string(cf::kEmptyTable), kStats},
      {stats + "[[TABLE]]\n1 5 0 0\n6 x 0 0\n",
       std::string(cf::kBadWindowColumns),
       "n=2 names=ML,PI cut= scores= stats=Mean,Thresh[1,2][0.5,0.25] "
       "win=1,6/5,0"},
      {stats + "[[TABLE]]\n1 5 0 0\n# not a comment here\n",
       std::string(cf::kBadWindowColumns),
       "n=2 names=ML,PI cut= scores= stats=Mean,Thresh[1,2][0.5,0.25] "
       "win=1,0/5,0"},
      {stats + "[[TABLE]]\n1 5 0 0\n\n*\n", std::string(cf::kBadWindowColumns),
       "n=2 names=ML,PI cut= scores= stats=Mean,Thresh[1,2][0.5,0.25] "
       "win=1,0/5,0"},
      {stats + "[[TABLE]]\n1 5 N/A N/A\n", std::string(cf::kBadScoreColumns),
       "n=2 names=ML,PI cut= scores=[-1][0] "
       "stats=Mean,Thresh[1,2][0.5,0.25] win=1/5"},
      {stats + "[[TABLE]]\n1 5 0.5\n", std::string(cf::kBadScoreColumns),
       kStats},
      {stats + "[[TABLE]]\n1 5\n2 6\n", std::string(cf::kBadScoreColumns),
       kStats},
      {head + "[[STATS]]\nMean 1 2\nthresh 0.5 0.25\n[[TABLE]]\n1 5 0 0\n",
       std::string(cf::kNoThresh),
       "n=2 names=ML,PI cut= scores=[0][0] "
       "stats=Mean,thresh[1,2][0.5,0.25] win=1/5"},
      {"[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 0\n[[STATS]]\n"
       "Thresh 1 1\n[[TABLE]]\n1 5 0 0\n",
       std::string(cf::kNoThresh),
       "n=2 names=ML,PI cut= scores=[0][0] stats= win=1/5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TConserved data;
    RecordingSink sink;
    ReadText(c.content, data, sink);
    EXPECT_EQ(sink.texts, Texts{c.message});
    EXPECT_EQ(Dump(data), c.dump);
  }
}

TEST(ReadConservationTest, FailedReadingKeepsEarlierCutoffsAndUnreachedFields) {
  TConserved data;
  RecordingSink sink;
  ReadText(kExample, data, sink);
  ASSERT_TRUE(sink.texts.empty());

  // Fails at the score columns: names, statistics and windows are new, the
  // cut-offs and scores are not.
  ReadText(
      "[SCORES]\nScoreNames = A\nNSummaryStats = 1\n[[STATS]]\nThresh 7\n"
      "[[TABLE]]\n2 4 x\n",
      data, sink);
  EXPECT_EQ(sink.texts, Texts{std::string(cf::kBadScoreColumns)});
  EXPECT_EQ(Dump(data),
            "n=1 names=A cut=0.1,0.05,0.2 scores=[0] "
            "stats=Thresh[7] win=2/4");

  // An empty names value keeps the names read before.
  sink.texts.clear();
  ReadText("[SCORES]\nScoreNames = ;\n", data, sink);
  EXPECT_EQ(sink.texts, Texts{std::string(cf::kNoScoreNames)});
  EXPECT_EQ(data.ScoreNames, AString{"A"});
  EXPECT_EQ(data.NScores, 1);
}

TEST(ReadConservationTest, StaleThreshRowGivesOneCutoffPerScore) {
  TConserved data;
  RecordingSink sink;
  ReadText(kExample, data, sink);
  // The second file has one score and a comment where "Thresh" stood: the
  // earlier row is kept and its values are fitted to the new score count.
  ReadText(
      "[SCORES]\nScoreNames = A\nNSummaryStats = 2\n[[STATS]]\nMean 5\n"
      "#\n[[TABLE]]\n1 5 0\n",
      data, sink);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(data.StatNames, (AString{"Mean", "Thresh"}));
  EXPECT_EQ(data.Cutoffs, AExt{0.1L});
}

TEST(ReadConservationTest, HugeStatisticsCountAllocatesNothing) {
  const struct {
    const char* count;
    std::string message;
  } cases[] = {
      {"2000000000", std::string(cf::kBadStatsSection)},
      // The signed 64-bit value, not its low 32 bits (which would be 3).
      {"4294967299", std::string(cf::kBadStatsSection)},
      {"9223372036854775807", std::string(cf::kBadStatsSection)},
      {"-9223372036854775808",
       std::string(cf::kBadStatsCount) + "-9223372036854775808"},
      {"9223372036854775808",
       std::string(cf::kBadStatsCount) + "9223372036854775808"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    TConserved data;
    RecordingSink sink;
    ReadText(std::string("[SCORES]\nScoreNames = A\nNSummaryStats = ") +
                 c.count + "\n[[STATS]]\nThresh 1\nMax 1\nMin 1\n" +
                 "[[TABLE]]\n1 5 0\n",
             data, sink);
    EXPECT_EQ(sink.texts, Texts{c.message});
    EXPECT_EQ(data.StatNames.capacity(), 0u);
    EXPECT_EQ(data.Stats.capacity(), 0u);
  }
}

TEST(ReadConservationTest, MemoryStaysProportionalToTheFile) {
  // Many score names and many one-byte comment rows: padding every comment
  // row to a value per score would hold names x rows values.
  constexpr int kNames = 100000;
  std::string names = "A";
  for (int i = 1; i < kNames; ++i) names += ",A";
  std::string content = "[SCORES]\nScoreNames = " + names +
                        "\nNSummaryStats = " + std::to_string(kNames) +
                        "\n[[STATS]]\n";
  // One more: the first "#" line after "[[STATS]]" is its comment.
  for (int i = 0; i <= kNames; ++i) content += "#\n";
  TConserved data;
  RecordingSink sink;
  ReadText(content, data, sink);
  EXPECT_EQ(sink.texts, Texts{std::string(cf::kTableNotFound)});
  EXPECT_EQ(data.NScores, kNames);
  ASSERT_EQ(data.Stats.size(), static_cast<std::size_t>(kNames));
  EXPECT_TRUE(data.Stats.back().empty());

  // One row holding every score, then many windows of one field each: filled
  // out they would be names x windows cells.
  std::string table = "[SCORES]\nScoreNames = " + names +
                      "\nNSummaryStats = 0\n[[STATS]]\n[[TABLE]]\n1 2";
  for (int i = 0; i < kNames; ++i) table += " 0";
  for (int i = 0; i < kNames; ++i) table += "\n1";
  TConserved windows;
  ReadText(table, windows, sink);
  EXPECT_EQ(sink.texts.back(), cf::kBadScoreColumns);
  EXPECT_TRUE(windows.WinStart.empty());
  EXPECT_TRUE(windows.Scores.empty());
}

TEST(ReadConservationTest, HostileInputGivesAtMostOneMessage) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"[SCORES]",
                                           "*",
                                           "ScoreNames = ",
                                           "NSummaryStats = ",
                                           "[[STATS]]",
                                           "[[TABLE]]",
                                           "Thresh",
                                           "ML",
                                           "N/A",
                                           "#",
                                           ",",
                                           "1",
                                           "-1",
                                           "0.5",
                                           "9e9999",
                                           " ",
                                           "\t",
                                           "\n",
                                           "\r",
                                           "\x1a",
                                           std::string(1, '\0'),
                                           "\xff"};
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) {
      if (round % 2 == 0) {
        content += static_cast<char>(random() % 256);
      } else {
        content += pieces[random() % pieces.size()];
      }
    }
    TConserved data;
    RecordingSink sink;
    ReadText(content, data, sink);
    ASSERT_LE(sink.texts.size(), 1u) << content;
    if (!sink.texts.empty()) continue;
    const auto n = static_cast<std::size_t>(data.NScores);
    ASSERT_EQ(data.ScoreNames.size(), n);
    ASSERT_EQ(data.Cutoffs.size(), n);
    ASSERT_EQ(data.Scores.size(), n);
    for (const AExt& score : data.Scores) {
      ASSERT_EQ(score.size(), data.WinStart.size());
    }
    ASSERT_EQ(data.WinEnd.size(), data.WinStart.size());
  }
}

TEST(FindNameTest, FirstExactMatchAtOrAfterStart) {
  const AString list = {"ML", "PI", "ml", "PI"};
  EXPECT_EQ(FindName(list, "PI", 0), 1);
  EXPECT_EQ(FindName(list, "PI", 2), 3);
  EXPECT_EQ(FindName(list, "ml", 0), 2);
  EXPECT_EQ(FindName(list, "P", 0), -1);
  EXPECT_EQ(FindName(list, "ML", 4), -1);
  EXPECT_EQ(FindName(list, "", 0), -1);
  EXPECT_EQ(FindName(AString{""}, "", 0), -1);
  EXPECT_EQ(FindName({}, "ML", 0), -1);
}

TEST(ReplaceInRangeTest, ReplacesExactEntriesWithinClippedRange) {
  AString list = {"N/A", "x", "N/A", "n/a", "N/A"};
  EXPECT_EQ(ReplaceInRange(list, "N/A", "-1", 1, 99), 2u);
  EXPECT_EQ(list, (AString{"N/A", "x", "-1", "n/a", "-1"}));
  EXPECT_EQ(ReplaceInRange(list, "N/A", "-1", 0, 0), 1u);
  EXPECT_EQ(list[0], "-1");

  AString same = {"a", "", "a"};
  EXPECT_EQ(ReplaceInRange(same, "", "b", 0, 2), 0u);
  EXPECT_EQ(ReplaceInRange(same, "a", "b", 2, 1), 0u);
  EXPECT_EQ(ReplaceInRange(same, "a", "b", 3, 5), 0u);
  EXPECT_EQ(same, (AString{"a", "", "a"}));
  AString empty;
  EXPECT_EQ(ReplaceInRange(empty, "a", "b", 0, 0), 0u);
}

}  // namespace
}  // namespace tessarin
