#include "alignment/position_map.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "alignment/seq.h"
#include "text/message_sink.h"

namespace tessarin {
namespace {

TEST(PositionMapTest, IndexOfValueFindsFirstMatch) {
  EXPECT_EQ(IndexOfValue({}, 0, 0), -1);
  EXPECT_EQ(IndexOfValue({3, 5, 5}, 5, 3), 1);
  EXPECT_EQ(IndexOfValue({3, 5, 5}, 5, 1), -1);
  EXPECT_EQ(IndexOfValue({3, 5, 5}, 5, 99), 1);
}

TEST(PositionMapTest, GaplessToColumnReportsMissingPositions) {
  const AADWord tables = {{0, 1, 1, 2}, {1, 2}};
  RecordingSink sink;
  EXPECT_EQ(GaplessToColumn(tables, 0, 1, sink), 2);
  EXPECT_EQ(GaplessToColumn(tables, 0, 2, sink), 4);
  EXPECT_EQ(GaplessToColumn(tables, 0, 0, sink), 1);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(GaplessToColumn(tables, 0, 3, sink), 0);
  EXPECT_EQ(GaplessToColumn(tables, 1, 0, sink), 0);
  EXPECT_EQ(GaplessToColumn(tables, 0, -1, sink), 0);
  EXPECT_EQ(GaplessToColumn(tables, 0, 4294967296 + 1, sink), 0);
  EXPECT_EQ(GaplessToColumn(tables, 7, 1, sink), 0);
  EXPECT_EQ(sink.texts,
            std::vector<std::string>(5, std::string(kGaplessValueNotFound)));
}

// The index, read straight off a sequence, answers as the plain lookup in
// that sequence's table: empty and all-gap texts, gap runs at either end and
// of every length around the eight characters tested at once, residues next
// in value to the gap characters, other gap strings (five distinct gap
// characters are tested one by one), positions outside the table.
TEST(PositionMapTest, ColumnIndexAgreesWithThePlainLookup) {
  std::mt19937 random(9);
  std::vector<TSeq> seqs(2);
  seqs[1].Seq = "-~-";
  const std::pair<std::string, std::string> gap_strings[] = {
      {"~", "-"}, {".", ""}, {".*-", "~_"}};
  for (int round = 0; round < 60; ++round) {
    TSeq& seq = seqs.emplace_back();
    std::tie(seq.Gap1, seq.Gap2) = gap_strings[round % 3];
    const std::string gaps = seq.Gap1 + seq.Gap2;
    const std::string residues = "AC,.\xAD\x7E-~*_";
    while (seq.Seq.size() < 2000) {
      const bool gap = random() % 2 == 0;
      for (std::size_t k = 1 + random() % (gap ? 12 : 30); k > 0; --k) {
        const char c = gap ? gaps[random() % gaps.size()]
                           : residues[random() % residues.size()];
        if (gap || gaps.find(c) == std::string::npos) seq.Seq += c;
      }
    }
  }
  ColumnIndex index;
  for (const TSeq& seq : seqs) {
    index.Build(seq);
    const AADWord one = {seq.GaplessTable()};
    const std::int64_t top = one[0].empty() ? 3 : one[0].back() + 3;
    for (std::int64_t pos = -2; pos <= top; ++pos) {
      RecordingSink sink;
      ASSERT_EQ(index.Column(pos), GaplessToColumn(one, 0, pos, sink))
          << "pos " << pos;
    }
  }
}

}  // namespace
}  // namespace tessarin
