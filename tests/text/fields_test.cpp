#include "text/fields.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/line_file.h"

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

// Long fields (moved eight bytes at a time) and sets of more delimiters than
// a word test takes: the normal form is the fields joined by the first
// delimiter, in place and when moved to the front of a line text.
TEST(NormalizeDelimitersTest, AgreesWithJoiningTheFields) {
  std::mt19937 random(7);
  const std::string alphabet = "ab \t,;:|";
  for (const std::string_view delimiters : {" \t", ",\t", " \t,;:|"}) {
    std::string joined_lines;
    std::string expected_lines;
    for (int round = 0; round < 2000; ++round) {
      std::string text;
      const int length = static_cast<int>(random() % 60);
      for (int i = 0; i < length; ++i) {
        const char c = alphabet[random() % alphabet.size()];
        text.append(random() % 3 == 0 ? 1 + random() % 20 : 1, c);
      }
      std::vector<std::string> fields = {""};
      for (const char c : text) {
        if (delimiters.find(c) == std::string_view::npos) {
          fields.back() += c;
        } else if (!fields.back().empty()) {
          fields.emplace_back();
        }
      }
      if (fields.back().empty()) fields.pop_back();
      std::string expected;
      for (const std::string& field : fields) {
        expected += (expected.empty() ? "" : std::string(1, delimiters[0]));
        expected += field;
      }
      const NormalizedLine n = NormalizeDelimiters(text, delimiters);
      ASSERT_EQ(n.text, expected) << "'" << text << "'";
      ASSERT_EQ(n.fields, fields.size()) << "'" << text << "'";
      joined_lines += text + "\n";
      expected_lines += expected + "\n";
    }
    LineText lines(joined_lines);
    lines.NormalizeLines(delimiters);
    EXPECT_EQ(lines.Text(), expected_lines);
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
