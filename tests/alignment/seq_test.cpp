#include "alignment/seq.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace tessarin
