#include "alignment/seq.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "alignment/position_map.h"
#include "alignment/seq_set.h"

namespace tessarin {
namespace {

TSeq MakeSeq(std::string text) {
  TSeq seq;
  seq.Seq = std::move(text);
  return seq;
}

TEST(SeqTest, GaplessArithmetic) {
  const TSeq seq = MakeSeq("-A~C");
  EXPECT_EQ(seq.GaplessTable(), ADWord({0, 1, 1, 2}));
  EXPECT_EQ(seq.GaplessSeq(), "AC");
  EXPECT_EQ(seq.GaplessCount(0), 0);
  EXPECT_EQ(seq.GaplessCount(1), 0);
  EXPECT_EQ(seq.GaplessCount(2), 1);
  EXPECT_EQ(seq.GaplessCount(4), 2);
  EXPECT_EQ(seq.GaplessCount(5), -1);
  EXPECT_EQ(seq.GaplessCount(0x80000000u), -1);
  EXPECT_TRUE(seq.IsGap('-'));
  EXPECT_TRUE(seq.IsGap('~'));
  EXPECT_FALSE(seq.IsGap('.'));
}

TEST(SeqTest, EmptySequence) {
  const TSeq seq;
  EXPECT_TRUE(seq.GaplessTable().empty());
  EXPECT_EQ(seq.GaplessSeq(), "");
  EXPECT_EQ(seq.GaplessCount(0), 0);
  EXPECT_EQ(seq.GaplessCount(1), -1);
}

TEST(SeqTest, NulIsAResidueNotAGap) {
  const TSeq seq = MakeSeq(std::string("A\0-C", 4));
  EXPECT_EQ(seq.GaplessSeq(), std::string("A\0C", 3));
  EXPECT_EQ(seq.GaplessTable(), ADWord({1, 2, 2, 3}));
  EXPECT_EQ(RemoveChars(std::string("A\0-~", 4), "-~"), std::string("A\0", 2));
  EXPECT_FALSE(seq.IsGap('\0'));
}

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

// The search from a guess must answer and report exactly as the plain
// lookup, whatever the guess: gap runs far longer than the search's first
// steps, positions outside the table, guesses on either side and beyond it.
TEST(PositionMapTest, SearchFromAGuessMatchesThePlainLookup) {
  std::mt19937 random(9);
  for (int round = 0; round < 40; ++round) {
    std::string text;
    while (text.size() < 3000) {
      const bool gap = random() % 2 == 0;
      text.append(1 + random() % (gap ? 400 : 30), gap ? '-' : 'A');
    }
    const AADWord tables = {MakeSeq(text).GaplessTable()};
    const std::int64_t residues = tables[0].back();
    for (int probe = 0; probe < 2000; ++probe) {
      const std::int64_t pos =
          static_cast<std::int64_t>(random() % (residues + 4)) - 2;
      const std::uint64_t guess = random() % (text.size() + 50);
      RecordingSink plain;
      RecordingSink near;
      ASSERT_EQ(GaplessToColumnNear(tables, 0, pos, guess, near),
                GaplessToColumn(tables, 0, pos, plain))
          << "pos " << pos << " guess " << guess;
      ASSERT_EQ(near.texts, plain.texts);
    }
  }
}

}  // namespace
}  // namespace tessarin
