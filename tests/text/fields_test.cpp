#include "text/fields.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

TEST(NormalizeDelimitersTest, CanonicalFormAndFieldCount) {
  struct Row {
    const char* text;
    const char* normal;
    std::size_t fields;
  };
  const Row rows[] = {
      {"", "", 0},   {"abc", "abc", 1},   {"  a\t\tb  c ", "a b c", 3},
      {" ", "", 0},  {"\t \t", "", 0},    {" a ", "a", 1},
      {"a", "a", 1}, {"\ta b", "a b", 2},
  };
  for (const Row& row : rows) {
    const NormalizedLine n = NormalizeDelimiters(row.text, kBlankDelimiters);
    EXPECT_EQ(n.text, row.normal) << "'" << row.text << "'";
    EXPECT_EQ(n.fields, row.fields) << "'" << row.text << "'";
  }
}

TEST(SplitByCharTest, KeepsEmptyFields) {
  EXPECT_TRUE(SplitByChar("", ',').empty());
  EXPECT_EQ(SplitByChar("abc", ','), AString({"abc"}));
  EXPECT_EQ(SplitByChar("a,,", ','), AString({"a", "", ""}));
  EXPECT_EQ(SplitByChar("a,b,,c,", ','), AString({"a", "b", "", "c", ""}));
  EXPECT_EQ(SplitByChar(",", ','), AString({"", ""}));
}

TEST(SplitColumnsTest, ShortRowsRepeatTheirLastField) {
  const AString lines = {"1 2 3", "4 5"};
  const AAString columns = SplitColumns(lines, 0, 1, ' ');
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0], AString({"1", "4"}));
  EXPECT_EQ(columns[1], AString({"2", "5"}));
  EXPECT_EQ(columns[2], AString({"3", "5"}));

  const AAString wide = SplitColumns({"a b c d", "a b", "x", ""}, 1, 3, ' ');
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(wide[1], AString({"b", "x", ""}));
}

TEST(SplitColumnsTest, OutOfRangeGivesEmptyTable) {
  const AString lines = {"1 2 3", "4 5"};
  EXPECT_TRUE(SplitColumns(lines, 0, 2, ' ').empty());
  EXPECT_TRUE(SplitColumns(lines, 1, 0, ' ').empty());
  EXPECT_TRUE(SplitColumns({}, 0, 0, ' ').empty());
  EXPECT_TRUE(SplitColumns(lines, 0, 1, ' ', 0).empty());
}

TEST(SplitColumnsTest, BuildsOnlyTheColumnsAsked) {
  // One row of a million blanks must not make every row a million wide.
  AString lines = {std::string(1000000, ' ')};
  for (int i = 0; i < 1000; ++i) lines.push_back("s 1 L ACGT");
  const AAString columns = SplitColumns(lines, 0, lines.size() - 1, ' ', 4);
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[3][1], "ACGT");
  EXPECT_EQ(columns[3][0], "");
}

}  // namespace
}  // namespace tessarin
