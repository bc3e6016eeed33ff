#include "view/selection_status.h"

#include <gtest/gtest.h>

#include <memory>

#include "view/tf_annotation.h"

namespace tessarin {
namespace {

class InspectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.alignment = std::make_unique<TSeqSet>();
    for (const auto& [name, text] :
         {std::pair{"human", "AC-GT~A"}, std::pair{"mouse rat", "-CAGTTA"}}) {
      TSeq& seq = data_.alignment->Seqs.emplace_back();
      seq.SeqName = name;
      seq.Seq = text;
      view_.AppendLine(RowPrefix(name) + text);
      view_.AppendLine(RowPrefix(name) + ".......");
    }
    line_index_ = {0, 2};
  }

  std::optional<std::string> Select(std::size_t line, std::size_t column,
                                    std::size_t length) {
    view_.SetSelection(LineStart(view_, line) + column, length);
    return InspectSelection(data_, annotated_, true, true);
  }

  ReadInData data_;
  AnnotatedView annotated_;
  RichView& view_ = annotated_.view;
  ADWord& line_index_ = annotated_.line_index;
};

TEST_F(InspectorTest, ReportsPositionsWithAndWithoutGaps) {
  EXPECT_EQ(Select(0, 8 + 2, 3),
            "human: +Gaps: Pos=3 L=3 -Gaps: Pos=2 L=2 >GT");
  EXPECT_EQ(Select(0, 8 + 3, 2),
            "human: +Gaps: Pos=4 L=2 -Gaps: Pos=3 L=2 >GT");
  EXPECT_EQ(Select(0, 8, 1), "human: +Gaps: Pos=1 L=1 -Gaps: Pos=1 L=1 >A");
  // Gaps only.
  EXPECT_EQ(Select(0, 8 + 5, 1), "human: +Gaps: Pos=6 L=1 -Gaps: Pos=4 L=0 >");
  // Into the following lines: only the rest of the row counts.
  EXPECT_EQ(Select(0, 8 + 5, 50),
            "human: +Gaps: Pos=6 L=2 -Gaps: Pos=4 L=1 >A");
  // Just after the last letter: the residue count of the whole sequence.
  EXPECT_EQ(Select(0, 8 + 7, 1), "human: +Gaps: Pos=8 L=0 -Gaps: Pos=5 L=0 >");
}

TEST_F(InspectorTest, SameColumnsOnRowsWithDifferentNames) {
  EXPECT_EQ(Select(2, 12 + 1, 3),
            "mouse rat: +Gaps: Pos=2 L=3 -Gaps: Pos=1 L=3 >CAG");
  EXPECT_EQ(Select(2, 12, 1), "mouse rat: +Gaps: Pos=1 L=1 -Gaps: Pos=0 L=0 >");
}

TEST_F(InspectorTest, SilentOutsideTheLetters) {
  EXPECT_EQ(Select(1, 8 + 1, 2), std::nullopt);  // a track
  EXPECT_EQ(Select(0, 0, 2), std::nullopt);      // the name
  EXPECT_EQ(Select(0, 5, 2), std::nullopt);      // "> "
  EXPECT_EQ(Select(0, 7, 2), std::nullopt);      // the tab
  EXPECT_EQ(Select(0, 8, 0), "");                // a caret clears
  view_.SetSelection(8, 2);
  EXPECT_EQ(InspectSelection(data_, annotated_, true, false), std::nullopt);
  EXPECT_EQ(InspectSelection(data_, annotated_, false, true), std::nullopt);
  EXPECT_EQ(InspectSelection(ReadInData(), annotated_, true, true),
            std::nullopt);
  line_index_ = {};
  EXPECT_EQ(InspectSelection(data_, annotated_, true, true), std::nullopt);
  // A line index pointing at a sequence that no longer exists.
  line_index_ = {5, 6, 0};
  EXPECT_EQ(InspectSelection(data_, annotated_, true, true), std::nullopt);
}

TEST_F(InspectorTest, SelectionBeyondTheTextBelongsToTheLastLine) {
  view_.SetSelection(view_.TextLength() + 100, 3);
  EXPECT_EQ(InspectSelection(data_, annotated_, true, true), std::nullopt);
}

}  // namespace
}  // namespace tessarin
