#include "text/line_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "text/readable_file.h"

namespace tessarin {
namespace {

AString Load(std::string_view content) {
  Ttf file;
  file.LoadFromText(content);
  return file.Lines();
}

AString EachLine(std::string_view content) {
  AString lines;
  ForEachLine(content,
              [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

// The lines of a LineText, read back through Line and Next.
AString LinesOf(const LineText& text) {
  AString lines;
  text.ForEachLine(0, text.End(), [&lines](std::string_view line) {
    lines.emplace_back(line);
  });
  return lines;
}

// Every line followed by LF: what a LineText holds.
std::string Terminated(const AString& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

TEST(LineFileLoadTest, SplitsAtEveryLineEnd) {
  const std::string bom(kBom);
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
      // One UTF-8 byte-order mark at the very start is dropped, no more.
      {bom + "a\nb", {"a", "b"}},
      {bom + bom + "a\n", {bom + "a"}},
      {bom, {}},
      {bom + "\n", {""}},
      {bom + "\x1a" + "a", {}},
      {bom.substr(0, 2) + "a", {bom.substr(0, 2) + "a"}},
      {"a\n" + bom + "b", {"a", bom + "b"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.content);
    EXPECT_EQ(Load(row.content), row.lines);
    EXPECT_EQ(EachLine(row.content), row.lines);
    const LineText text{std::string(row.content)};
    EXPECT_EQ(text.Text(), Terminated(row.lines));
    EXPECT_EQ(LinesOf(text), row.lines);
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
  EXPECT_EQ(ReadFailure((dir_ / "missing").string()),
            "Cannot read \"" + (dir_ / "missing").string() +
                "\": No such file or directory");
  EXPECT_EQ(ReadFailure(dir_.string()),
            "Cannot read \"" + dir_.string() + "\": Is a directory");
  file.LoadFromFile(dir_.string());
  EXPECT_EQ(file.Count(), 0u);
}

TEST_F(LineFileDiskTest, AppendsAfterExistingLines) {
  const std::string path = Write("a.txt", "x\ny\n");
  EXPECT_EQ(ReadFailure(path), std::nullopt);
  Ttf file;
  file.LoadFromFile(path);
  file.LoadFromFile(path);
  EXPECT_EQ(file.Lines(), AString({"x", "y", "x", "y"}));
}

TEST_F(LineFileDiskTest, DropsOneByteOrderMarkOfAFile) {
  // A file of one line and a file of several lines both drop the mark.
  const struct Row {
    std::string content;
    AString lines;
  } rows[] = {
      {std::string(kBom) + "one line", {"one line"}},
      {std::string(kBom) + "a\nb\n", {"a", "b"}},
      {std::string(kBom) + std::string(kBom) + "one line",
       {std::string(kBom) + "one line"}},
      {std::string(kBom), {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.content);
    const std::string path = Write("bom.txt", row.content);
    Ttf file;
    file.LoadFromFile(path);
    EXPECT_EQ(file.Lines(), row.lines);
    EXPECT_EQ(LinesOf(LineText::FromFile(path)), row.lines);
  }
  EXPECT_EQ(LineText::FromFile((dir_ / "missing").string()).End(), 0u);
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

TEST(LineTextTest, NamesLinesByOffset) {
  const LineText text(std::string("ab\r\n\ncd"));
  EXPECT_EQ(text.Text(), "ab\n\ncd\n");
  EXPECT_EQ(text.End(), 7u);
  EXPECT_EQ(text.Line(0), "ab");
  EXPECT_EQ(text.Next(0), 3u);
  EXPECT_EQ(text.Line(3), "");
  EXPECT_EQ(text.Next(3), 4u);
  EXPECT_EQ(text.Line(4), "cd");
  EXPECT_EQ(text.Next(4), text.End());
  EXPECT_EQ(LineText().End(), 0u);
  EXPECT_EQ(LineText(std::string()).End(), 0u);

  LineText released(std::string(1000, 'x'));
  released.Release();
  EXPECT_EQ(released.End(), 0u);
  EXPECT_EQ(released.Text(), "");
}

TEST(LineTextTest, NormalizeLinesEmptiesBlankLines) {
  LineText text(std::string(" a\t b \n \t \nc"));
  text.NormalizeLines(" \t");
  EXPECT_EQ(text.Text(), "a b\n\nc\n");
}

TEST(LineTextTest, FindBlockComparesWholeLinesInAnyCase) {
  // Lines "[TF]" at 0, "x" at 5 and "*" at 7.
  const LineText closed(std::string("[TF]\nx\n*\n"));
  std::optional<LineBlock> b = closed.FindBlock("[TF]", "*", 0);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->start, 0u);
  EXPECT_EQ(b->end, 7u);
  EXPECT_FALSE(closed.FindBlock("[TF]", "*", 5).has_value());

  // Lines "head" at 0, "[tf]" at 5 and "x" at 10; no end marker.
  const LineText open(std::string("head\n[tf]\nx\n"));
  b = open.FindBlock("[TF]", "*", 0);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->start, 5u);
  EXPECT_EQ(b->end, open.End());
  EXPECT_FALSE(open.FindBlock("[TF]", "*", open.End()).has_value());
  EXPECT_FALSE(open.FindBlock("[TF]", "*", 99).has_value());

  const LineText partial(std::string("[TF] x\n*\n"));
  EXPECT_FALSE(partial.FindBlock("[TF]", "*", 0).has_value());
  EXPECT_FALSE(closed.FindBlock("", "*", 0).has_value());
  EXPECT_FALSE(closed.FindBlock("[TF]", "", 0).has_value());
}

TEST(LineTextTest, FindFirstKeySearchesToTheEndOfTheFile) {
  // Lines at 0, 9, 11, 13 (empty), 14 and 23.
  const LineText text(std::string("Name = A\n*\nx\n\nName = B\nab Name = C\n"));
  KeyHit hit = text.FindFirstKey("Name =", 11);
  EXPECT_EQ(hit.count, 1u);
  EXPECT_EQ(hit.line, 14u);
  EXPECT_EQ(hit.position, 1u);
  hit = text.FindFirstKey("Name =", 23);
  EXPECT_EQ(hit.count, 1u);
  EXPECT_EQ(hit.line, 23u);
  EXPECT_EQ(hit.position, 4u);
  EXPECT_EQ(text.FindFirstKey("Name =", text.End()).count, 0u);
  EXPECT_EQ(text.FindFirstKey("Missing", 0).count, 0u);
  EXPECT_EQ(text.FindFirstKey("", 0).count, 0u);
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
