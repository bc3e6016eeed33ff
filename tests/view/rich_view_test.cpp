#include "view/rich_view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace tessarin {
namespace {

using Selection = std::pair<std::uint64_t, std::uint64_t>;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// Makes the view record its selection at every change notice into `seen`.
void RecordNotices(RichView& view, std::vector<Selection>& seen) {
  view.SetSelectionChangeHandler(
      [&] { seen.emplace_back(view.SelStart(), view.SelLength()); });
}

// "abc", "", "de": indices a0 b1 c2 |3 |4 d5 e6 |7 (| = line end).
void AppendThreeLines(RichView& view) {
  view.AppendLine("abc");
  view.AppendLine("");
  view.AppendLine("de");
}

// One mark per character: '.' default, 'x' formatted.
std::string Marks(const RichView& view) {
  std::string marks;
  for (std::uint64_t i = 0; i < view.TextLength(); ++i) {
    marks += view.Attributes(i).IsDefault() ? '.' : 'x';
  }
  return marks;
}

TEST(RichViewTest, LineEndCountsAsOneCharacter) {
  RichView view;
  AppendThreeLines(view);
  EXPECT_EQ(view.Text(), "abc\n\nde\n");
  EXPECT_EQ(view.Line(2), "de");
  EXPECT_EQ(view.Line(3), "");
  const std::vector<std::uint64_t> starts = {0, 4, 5, 8, 8};
  for (std::size_t line = 0; line < starts.size(); ++line) {
    EXPECT_EQ(LineStart(view, line), starts[line]) << "line " << line;
  }
  EXPECT_EQ(LineStart(view, std::numeric_limits<std::size_t>::max()), 8u);
  const std::vector<std::size_t> line_of = {0, 0, 0, 0, 1, 2, 2, 2, 2};
  for (std::uint64_t i = 0; i < line_of.size(); ++i) {
    EXPECT_EQ(LineOfChar(view, i), line_of[i]) << "index " << i;
  }
  EXPECT_EQ(LineOfChar(view, kMax), 2u);
}

TEST(RichViewTest, ClearLeavesNoLinesAndForgetsFormatting) {
  RichView view;
  AppendThreeLines(view);
  SetRangeColor(view, 0, 0, 3, 0xFF);
  view.SetSelection(2, 3);
  std::vector<Selection> seen;
  RecordNotices(view, seen);
  view.Clear();
  EXPECT_EQ(view.LineCount(), 0u);
  EXPECT_EQ(LineStart(view, 0), 0u);
  EXPECT_EQ(LineOfChar(view, 5), 0u);
  EXPECT_EQ(seen, (std::vector<Selection>{{0, 0}}));
  SetRangeColor(view, 0, 0, 10, 0xFF);  // nothing to colour

  view.AppendLine("xyz");
  EXPECT_EQ(view.LineCount() - 1, 0u);
  EXPECT_EQ(Marks(view), "....");
}

// Long ranges take a per-change table of ids, which must not outlive the
// ids it was made for: the first change is too short to replace the table,
// so the second round's highlight meets the first round's table.
TEST(RichViewTest, LongRangesAfterClearSeeOnlyTheNewFormatting) {
  RichView view;
  const std::string line(3000, 'a');
  for (const std::uint8_t style : {kFontBold, kFontItalic}) {
    view.Clear();
    view.AppendLine(line);
    if (style == kFontBold) AddRangeStyle(view, 0, 0, 1000, style);
    if (style == kFontItalic) SetRangeColor(view, 0, 0, 1000, 0xFF);
    SetRangeBackColor(view, 0, 0, 3000, 0xFFFF);
    const CharAttributes& first = view.Attributes(0);
    EXPECT_EQ(first.back, 0xFFFFu);
    EXPECT_EQ(first.style, style == kFontBold ? kFontBold : 0);
    EXPECT_EQ(first.color.has_value(), style == kFontItalic);
    EXPECT_EQ(view.Attributes(2000), (CharAttributes{{}, 0xFFFF, 0}));
  }
}

TEST(RichViewTest, RangeOperationsRestoreSelectionWithFourNotices) {
  RichView view;
  AppendThreeLines(view);
  std::vector<Selection> seen;
  RecordNotices(view, seen);
  view.SetSelection(1, 2);
  EXPECT_EQ(seen, (std::vector<Selection>{{1, 2}}));
  seen.clear();
  SetRangeBackColor(view, 2, 1, 1, 0x00FFFF);
  const std::vector<Selection> expected = {{6, 2}, {6, 1}, {1, 1}, {1, 2}};
  EXPECT_EQ(seen, expected);

  for (auto op : {+[](RichView& v) { SetRangeColor(v, 0, 1, 2, 0xFF); },
                  +[](RichView& v) { SetRangeStyle(v, 0, 1, 2, 4); },
                  +[](RichView& v) { AddRangeStyle(v, 0, 1, 2, 1); }}) {
    seen.clear();
    op(view);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen.back(), (Selection{1, 2}));
  }
  EXPECT_EQ(Marks(view), ".xx...x.");
}

TEST(RichViewTest, ZeroLengthRangeChangesNothing) {
  RichView view;
  AppendThreeLines(view);
  view.SetSelection(5, 0);
  SetRangeColor(view, 0, 1, 0, 0xFF);
  SetRangeStyle(view, 0, 1, 0, kFontBold);
  AddRangeStyle(view, 0, 1, 0, kFontBold);
  SetRangeBackColor(view, 0, 1, 0, 0xFF);
  EXPECT_EQ(Marks(view), "........");
  EXPECT_EQ(view.SelStart(), 5u);
  EXPECT_EQ(view.SelLength(), 0u);
}

TEST(RichViewTest, SetStyleReplacesAndAddStyleAddsPerCharacter) {
  RichView view;
  view.AppendLine("ACGT");
  SetRangeStyle(view, 0, 0, 4, kFontBold);
  SetRangeStyle(view, 0, 0, 4, kFontUnderline);
  EXPECT_EQ(view.Attributes(0).style, kFontUnderline);
  AddRangeStyle(view, 0, 1, 1, kFontBold);
  EXPECT_EQ(view.Attributes(1).style, kFontUnderline | kFontBold);
  EXPECT_EQ(view.Attributes(2).style, kFontUnderline);

  SetRangeStyle(view, 0, 3, 1, 0xF0 | kFontItalic);  // only four styles exist
  view.SetSelection(1, 3);
  AddSelStyle(view, kFontStrikeOut);
  EXPECT_EQ(view.Attributes(1).style,
            kFontUnderline | kFontBold | kFontStrikeOut);
  EXPECT_EQ(view.Attributes(2).style, kFontUnderline | kFontStrikeOut);
  EXPECT_EQ(view.Attributes(3).style, kFontItalic | kFontStrikeOut);
}

TEST(RichViewTest, AttributesAreIndependentAndColoursStoredAsGiven) {
  RichView view;
  view.AppendLine("ACG");
  SetRangeStyle(view, 0, 0, 2, kFontUnderline);
  SetRangeColor(view, 0, 0, 2, 0xFF000008);
  SetRangeBackColor(view, 0, 1, 2, 0x80000000);
  EXPECT_EQ(view.Attributes(0),
            (CharAttributes{0xFF000008, std::nullopt, kFontUnderline}));
  EXPECT_EQ(view.Attributes(1),
            (CharAttributes{0xFF000008, 0x80000000, kFontUnderline}));
  EXPECT_EQ(view.Attributes(2), (CharAttributes{std::nullopt, 0x80000000, 0}));
}

TEST(RichViewTest, RangesRunOnPastLineEnds) {
  RichView view;
  AppendThreeLines(view);
  SetRangeColor(view, 0, 2, 4, 0xFF);  // c, line end, line end, d
  EXPECT_EQ(Marks(view), "..xxxx..");
  SetRangeColor(view, 0, 6, 1, 0xFF);  // column beyond the line: 'e'
  EXPECT_EQ(Marks(view), "..xxxxx.");
}

TEST(RichViewTest, RangesAreClippedAtTheEndOfTheText) {
  RichView view;
  AppendThreeLines(view);
  view.SetSelection(0, 1);
  SetRangeBackColor(view, 2, 1, 1000, 0xFF);
  EXPECT_EQ(Marks(view), "......xx");
  SetRangeBackColor(view, 5, 0, 10, 0xFF);     // starts at the text's end
  SetRangeBackColor(view, 2, kMax, 10, 0xFF);  // start would wrap round to 4
  SetRangeBackColor(view, 2, 0, kMax, 0x00FF00);
  EXPECT_EQ(Marks(view), ".....xxx");
  EXPECT_EQ(view.Attributes(7).back, 0x00FF00u);
  EXPECT_EQ(view.TextLength(), 8u);
  EXPECT_EQ(view.SelStart(), 0u);
  EXPECT_EQ(view.SelLength(), 1u);

  SelectLineRange(view, 7, 3, 20);  // kept as set, though beyond the text
  EXPECT_EQ(view.SelStart(), 11u);
  EXPECT_EQ(view.SelLength(), 20u);
}

// More distinct combinations than 16-bit ids can name: every character gets
// its own colour across several storage blocks, and none may alias another.
TEST(RichViewTest, MoreThan65535CombinationsStayDistinct) {
  constexpr std::uint32_t kCount = 70000;
  RichView view;
  view.AppendLine("head");
  view.AppendLine(std::string(kCount, 'A'));
  view.AppendLine("tail");
  for (std::uint32_t i = 0; i < kCount; ++i) {
    SetRangeColor(view, 1, i, 1, i);
  }
  SetRangeStyle(view, 1, 0, kCount, kFontBold);  // one pass over wide blocks
  for (std::uint32_t i = 0; i < kCount; ++i) {
    const CharAttributes& attributes = view.Attributes(LineStart(view, 1) + i);
    ASSERT_EQ(attributes.color, i) << "column " << i;
    ASSERT_EQ(attributes.style, kFontBold);
  }
  EXPECT_TRUE(view.Attributes(0).IsDefault());
  EXPECT_TRUE(view.Attributes(LineStart(view, 2) - 1).IsDefault());
  EXPECT_TRUE(view.Attributes(LineStart(view, 2)).IsDefault());
}

}  // namespace
}  // namespace tessarin
