#include "view/conservation_highlight.h"

#include <gtest/gtest.h>

#include <memory>

#include "view/tf_annotation.h"

namespace tessarin {
namespace {

class HighlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    read_in_.alignment = std::make_unique<TSeqSet>();
    for (const char* name : {"a", "longer"}) {
      TSeq& seq = read_in_.alignment->Seqs.emplace_back();
      seq.SeqName = name;
      seq.Seq = "ACGTACGTAC";
      view_.AppendLine(RowPrefix(name) + seq.Seq);
      view_.AppendLine(RowPrefix(name) + "..........");
    }
    line_index_ = {0, 2};
    data_.NScores = 2;
    data_.ScoreNames = {"ML", "PI"};
    data_.Cutoffs = {0.5L, 0.2L};
    // Windows: 1-1, 2-4, 5-7 (ML equal to its cut-off), 8-12 (beyond L),
    // 9-8 (end before start).
    data_.WinStart = {1, 2, 5, 8, 9};
    data_.WinEnd = {1, 4, 7, 12, 8};
    data_.Scores = {{0.1L, -1.0L, 0.5L, 0.0L, 0.0L},
                    {0.1L, 0.3L, 0.0L, 0.0L, 0.0L}};
  }

  // Highlights with `data` and `criteria`, finding the rows of view_ through
  // `line_index`.
  void Highlight(const TConserved& data, const AByte& criteria,
                 const ADWord& line_index) {
    read_in_.conservation = data;
    annotated_.line_index = line_index;
    HighlightConservedWindows(read_in_, criteria, annotated_);
  }

  // The columns of sequence i's row that have the yellow background.
  std::string Yellow(std::size_t i) const {
    const std::size_t prefix =
        RowPrefix(read_in_.alignment->Seqs[i].SeqName).size();
    std::string marks;
    for (std::size_t c = 1; c <= 10; ++c) {
      const auto& back =
          view_.Attributes(LineStart(view_, line_index_[i]) + prefix + c - 1)
              .back;
      marks += back == kConservedBackground ? 'Y' : '.';
    }
    return marks;
  }

  std::size_t BackgroundCount() const {
    std::size_t count = 0;
    for (std::uint64_t i = 0; i < view_.TextLength(); ++i) {
      count += view_.Attributes(i).back.has_value();
    }
    return count;
  }

  ReadInData read_in_;
  AnnotatedView annotated_;
  RichView& view_ = annotated_.view;
  TConserved data_;
  ADWord line_index_;
};

TEST_F(HighlightTest, AllSelectedScoresMustBeStrictlyBelow) {
  Highlight(data_, {1, 1}, line_index_);
  EXPECT_EQ(Yellow(0), "Y......YYY");
  EXPECT_EQ(Yellow(1), "Y......YYY");
  // Tracks are never painted.
  EXPECT_EQ(BackgroundCount(), 8u);
}

TEST_F(HighlightTest, OneCriterionAndMissingValues) {
  // ML alone: -1 passes a cut-off above -1; 0.5 equals its cut-off.
  Highlight(data_, {1, 0}, line_index_);
  EXPECT_EQ(Yellow(0), "YYYY...YYY");
}

TEST_F(HighlightTest, NothingWithoutCriteriaOrMatchingFlags) {
  Highlight(data_, {0, 0}, line_index_);
  Highlight(data_, {1}, line_index_);
  Highlight(data_, {1, 1}, {});
  TConserved short_cutoffs = data_;
  short_cutoffs.Cutoffs = {0.5L};
  Highlight(short_cutoffs, {1, 1}, line_index_);
  EXPECT_EQ(BackgroundCount(), 0u);
}

TEST_F(HighlightTest, SkipsWindowsAndRowsWithoutEntries) {
  TConserved ragged = data_;
  ragged.WinEnd = {1};  // only the first window is usable
  Highlight(ragged, {1, 1}, {0, 99});
  EXPECT_EQ(Yellow(0), "Y.........");
  EXPECT_EQ(BackgroundCount(), 1u);
}

TEST_F(HighlightTest, KeepsSelectionAndOtherAttributes) {
  SetRangeStyle(view_, 0, 4, 1, kFontUnderline | kFontBold);
  view_.SetSelection(5, 3);
  Highlight(data_, {1, 1}, line_index_);
  EXPECT_EQ(view_.SelStart(), 5u);
  EXPECT_EQ(view_.SelLength(), 3u);
  const CharAttributes& first = view_.Attributes(4);
  EXPECT_EQ(first.style, kFontUnderline | kFontBold);
  EXPECT_EQ(first.back, kConservedBackground);
}

TEST_F(HighlightTest, OverlappingWindowsColourTheirUnion) {
  // Random sliding windows, some outside the row: the view must equal the
  // one made by colouring every passing window on its own.
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  TConserved data = data_;
  data.WinStart.clear();
  data.WinEnd.clear();
  data.Scores = {{}, {}};
  for (int w = 0; w < 200; ++w) {
    data.WinStart.push_back(next() % 14);
    data.WinEnd.push_back(next() % 14);
    data.Scores[0].push_back((next() % 10) / 10.0L);
    data.Scores[1].push_back(0.0L);
  }
  Highlight(data, {1, 1}, line_index_);

  RichView expected;
  for (std::size_t line = 0; line < view_.LineCount(); ++line) {
    expected.AppendLine(view_.Line(line));
  }
  for (std::size_t i = 0; i < read_in_.alignment->Seqs.size(); ++i) {
    const std::size_t prefix =
        RowPrefix(read_in_.alignment->Seqs[i].SeqName).size();
    for (std::size_t w = 0; w < data.WinStart.size(); ++w) {
      if (!WindowPasses(data, {1, 1}, w)) continue;
      const std::uint64_t first = std::max<std::uint32_t>(data.WinStart[w], 1);
      const std::uint64_t last = std::min<std::uint32_t>(data.WinEnd[w], 10);
      if (last < first) continue;
      SetRangeBackColor(expected, line_index_[i], prefix + first - 1,
                        last - first + 1, kConservedBackground);
    }
  }
  for (std::uint64_t c = 0; c < view_.TextLength(); ++c) {
    EXPECT_EQ(view_.Attributes(c), expected.Attributes(c)) << c;
  }
}

}  // namespace
}  // namespace tessarin
