#include "text/line_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessarin {
namespace {

AString Load(std::string_view content) {
  Ttf file;
  file.LoadFromText(content);
  return file.Lines();
}

TEST(LineFileLoadTest, SplitsAtEveryLineEnd) {
  struct Row {
    std::string content;
    AString lines;
  };
  const Row rows[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\x1a"
       "b\n",
       {"a"}},
      {"a\x1a"
       "b",
       {"a"}},
      {"", {}},
      {"\n", {""}},
      {"a\r", {"a"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      {"no line end", {"no line end"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Load(row.content), row.lines);
  }
}

class LineFileDiskTest : public ::testing::Test {
 protected:
  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("ttf_test_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& content) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
};

TEST_F(LineFileDiskTest, MissingFileOrFolderLoadsNothing) {
  Ttf file;
  file.LoadFromFile((dir_ / "missing").string());
  EXPECT_EQ(file.Count(), 0u);
  EXPECT_EQ(file.LastIndex(), -1);
  EXPECT_FALSE(Ttf::CanOpen((dir_ / "missing").string()));
  EXPECT_FALSE(Ttf::CanOpen(dir_.string()));
  file.LoadFromFile(dir_.string());
  EXPECT_EQ(file.Count(), 0u);
}

TEST_F(LineFileDiskTest, AppendsAfterExistingLines) {
  const std::string path = Write("a.txt", "x\ny\n");
  EXPECT_TRUE(Ttf::CanOpen(path));
  Ttf file;
  file.LoadFromFile(path);
  file.LoadFromFile(path);
  EXPECT_EQ(file.Lines(), AString({"x", "y", "x", "y"}));
}

TEST_F(LineFileDiskTest, ReadsAVeryLongLine) {
  std::string content(50 * 1000 * 1000, 'A');
  content += "\nB";
  const std::string path = Write("long.fas", content);
  Ttf file;
  file.LoadFromFile(path);
  ASSERT_EQ(file.Count(), 2u);
  EXPECT_EQ(file.Lines()[0].size(), 50u * 1000 * 1000);
}

TEST(LineFileTest, RemoveEmptyLinesKeepsBlankLines) {
  Ttf file;
  file.LoadFromText("\na\n\nb\n \n");
  EXPECT_EQ(file.RemoveEmptyLines(), 2u);
  EXPECT_EQ(file.Lines(), AString({"a", "b", " "}));
  Ttf empty;
  EXPECT_EQ(empty.RemoveEmptyLines(), 0u);
}

TEST(LineFileTest, NormalizeLinesEmptiesBlankLines) {
  Ttf file;
  file.LoadFromText(" a\t b \n \t \nc");
  file.NormalizeLines(" \t");
  EXPECT_EQ(file.Lines(), AString({"a b", "", "c"}));
}

TEST(FindBlockTest, FindsHeaderAndEndMarker) {
  Ttf file;
  file.LoadFromText("[TF]\nx\n*\n");
  LineBlock b = file.FindBlock("[TF]", "*", 0, 2, true, false);
  EXPECT_EQ(b.start, 0u);
  EXPECT_EQ(b.end, 2u);

  Ttf open;
  open.LoadFromText("head\n[tf]\nx\n");
  b = open.FindBlock("[TF]", "*", 0, open.LastIndex(), true, false);
  EXPECT_EQ(b.start, 1u);
  EXPECT_EQ(b.end, 3u);
  b = open.FindBlock("[TF]", "*", 5, 9, true, false);
  EXPECT_EQ(b.start, 0u);
  EXPECT_EQ(b.end, 0u);
  b = open.FindBlock("[TF]", "*", 0, 2, true, true);
  EXPECT_EQ(b.start, 0u);
  EXPECT_EQ(b.end, 0u);
}

TEST(FindBlockTest, WholeLineAndSubstringModes) {
  Ttf file;
  file.LoadFromText("[TF] x\n*\n");
  EXPECT_EQ(file.FindBlock("[TF]", "*", 0, 1, true, false).end, 0u);
  const LineBlock b = file.FindBlock("[TF]", "*", 0, 1, false, false);
  EXPECT_EQ(b.start, 0u);
  EXPECT_EQ(b.end, 1u);

  Ttf both;
  both.LoadFromText("a\n[TF]*\n");
  const LineBlock same = both.FindBlock("[TF]", "*", 0, 1, false, true);
  EXPECT_EQ(same.start, 1u);
  EXPECT_EQ(same.end, 1u);
  EXPECT_EQ(both.FindBlock("", "*", 0, 1, false, true).end, 0u);
  EXPECT_EQ(both.FindBlock("a", "", 0, 1, false, true).end, 0u);
}

TEST(FindKeyTest, SearchesToTheEndOfTheFile) {
  Ttf file;
  file.LoadFromText("Name = A\n*\nx\n\nName = B\nName = C\n");
  KeyHit hit = file.FindKey("Name =", 2);
  EXPECT_EQ(hit.count, 2u);
  EXPECT_EQ(hit.line, 4u);
  EXPECT_EQ(hit.position, 1u);
  hit = file.FindFirstKey("Name =", 2);
  EXPECT_EQ(hit.count, 1u);
  EXPECT_EQ(hit.line, 4u);

  hit = file.FindKey("Name =", 99, 7);
  EXPECT_EQ(hit.count, 0u);
  EXPECT_EQ(hit.line, 99u);
  EXPECT_EQ(hit.position, 7u);

  hit = file.FindKey("Missing", 1);
  EXPECT_EQ(hit.count, 0u);
  EXPECT_EQ(hit.line, 0u);
  EXPECT_EQ(hit.position, 0u);
  EXPECT_EQ(file.FindKey("", 0).count, 0u);
}

TEST(JoinTest, JoinsLineRanges) {
  Ttf file;
  file.LoadFromText("AC\nGT\nTT\n");
  EXPECT_EQ(file.JoinRange(0, 2, ","), "AC,GT,TT");
  EXPECT_EQ(file.JoinLines(1, 1), "GT");
  EXPECT_EQ(file.JoinLines(2, 1), "TT");
  EXPECT_EQ(file.JoinLines(0, 3), "");
  EXPECT_EQ(file.JoinLines(0, 2), "ACGTTT");
}

}  // namespace
}  // namespace tessarin
