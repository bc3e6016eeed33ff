#include "text/strings.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

TEST(PosCharFromTest, StartZeroCountsAsOneAndPastEndFindsNothing) {
  EXPECT_EQ(PosCharFrom('a', "abca", 0), 1u);
  EXPECT_EQ(PosCharFrom('a', "abca", 2), 4u);
  EXPECT_EQ(PosCharFrom('a', "abca", 5), 0u);
  EXPECT_EQ(PosCharFrom('z', "abca", 1), 0u);
  EXPECT_EQ(PosCharFrom('a', "", 0), 0u);
}

TEST(PosFromTest, EmptyOrLongerSubFindsNothing) {
  EXPECT_EQ(PosFrom("abc", "abcd", 1), 0u);
  EXPECT_EQ(PosFrom("", "a", 1), 0u);
  EXPECT_EQ(PosFrom("abc", "", 1), 0u);
  EXPECT_EQ(PosFrom("xabab", "ab", 3), 4u);
  EXPECT_EQ(PosFrom("xabab", "ab", 0), 2u);
  EXPECT_EQ(PosFrom("xabab", "ab", 5), 0u);
  EXPECT_EQ(PosFrom("[[TABLE]]", "[[TABLE]]", 1), 1u);
}

TEST(SplitAtCharTest, SplitsAtFirstDelimiterOnly) {
  SplitResult r = SplitAtChar("x", 'x');
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.left, "");
  EXPECT_EQ(r.right, "");
  r = SplitAtChar("abc", ',');
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.left, "");
  EXPECT_EQ(r.right, "");
  r = SplitAtChar("a=b=c", '=');
  EXPECT_EQ(r.left, "a");
  EXPECT_EQ(r.right, "b=c");
}

TEST(FilterCharsTest, RemoveAndKeepModesAlwaysDropNul) {
  EXPECT_EQ(FilterChars(true, "Name ; x\t", " ;\t"), "Namex");
  EXPECT_EQ(FilterChars(false, "a1b2", "12"), "12");
  const std::string with_nul("a\0b", 3);
  EXPECT_EQ(FilterChars(true, with_nul, " "), "ab");
  EXPECT_EQ(FilterChars(false, with_nul, std::string("a\0", 2)), "a");
}

TEST(FilterCharsTest, OnlyFirst255SetCharactersCount) {
  std::string set(255, 'x');
  set += 'y';
  EXPECT_EQ(FilterChars(true, "xyz", set), "yz");
}

TEST(CaseAndRunsTest, UpperAsciiChangesOnlyAToZ) {
  EXPECT_EQ(UpperAscii("acg-t\xe9z"), "ACG-T\xe9Z");
  EXPECT_EQ(CollapseRuns("a  b   c ", ' '), "a b c ");
  EXPECT_EQ(ReplaceCharsOf("a\tb c", ' ', " \t"), "a b c");
  EXPECT_EQ(CountChar('a', ""), 0u);
}

TEST(CopyRangeTest, FollowsItsCuttingRules) {
  struct Row {
    const char* text;
    std::int64_t from, to;
    const char* expected;
  };
  const Row rows[] = {
      {"abcdef", 3, 4, "cd"},
      {"abc", 2, 9, "bc"},
      {"abc", 3, 2, ""},
      {"abc", 4, 5, ""},
      {"abc", 0, 2, "abc"},
      {"abc", -5, 1, "abc"},
      {"", 1, 3, ""},
      {"abc", 1, INT64_MAX, "abc"},
      {"abc", INT64_MIN, INT64_MAX, "abc"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CopyRange(row.text, row.from, row.to), row.expected)
        << row.text << " " << row.from << " " << row.to;
  }
}

TEST(OverwriteAtTest, GrowsTargetButNeverLeavesAGap) {
  std::string t = "....";
  OverwriteAt(t, 4, "XY");
  EXPECT_EQ(t, "...XY");
  t = "....";
  OverwriteAt(t, 9, "XY");
  EXPECT_EQ(t, "....XY");
  t = "....";
  OverwriteAt(t, 0, "X");
  EXPECT_EQ(t, "X...");
  OverwriteAt(t, 2, "");
  EXPECT_EQ(t, "X...");
}

TEST(IsRunOfTest, CountZeroTestsOneCharacter) {
  EXPECT_TRUE(IsRunOf("....", '.', 3, 2));
  EXPECT_FALSE(IsRunOf("....", '.', 4, 2));
  EXPECT_TRUE(IsRunOf("..x.", '.', 2, 0));
  EXPECT_FALSE(IsRunOf("..x.", '.', 3, 0));
  EXPECT_FALSE(IsRunOf("....", '.', 0, 1));
  EXPECT_FALSE(IsRunOf("....", '.', 1, SIZE_MAX));
  EXPECT_FALSE(IsRunOf("", '.', 1, 0));
}

TEST(FindUpperRunTest, FindsFirstRunOfCapitals) {
  EXPECT_EQ(FindUpperRun("acgt").start, 0u);
  EXPECT_EQ(FindUpperRun("").length, 0u);
  UpperRun run = FindUpperRun("ACGTxx");
  EXPECT_EQ(run.start, 1u);
  EXPECT_EQ(run.length, 4u);
  run = FindUpperRun("acgTGCAnn");
  EXPECT_EQ(run.start, 4u);
  EXPECT_EQ(run.length, 4u);
  run = FindUpperRun("aA1BB");
  EXPECT_EQ(run.start, 2u);
  EXPECT_EQ(run.length, 1u);
}

TEST(FillBytesTest, NeverWritesPastTheBuffer) {
  AByte flags(3, 0);
  FillBytes(flags, 1, 10);
  EXPECT_EQ(flags, AByte({1, 1, 1}));
  EXPECT_EQ(RepeatChar('.', 0), "");
  EXPECT_EQ(RepeatChar('.', 3), "...");
}

}  // namespace
}  // namespace tessarin
