#include "view/figure_layout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "text/message_sink.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

// Two rows of 23 columns: human has gaps at 4 and 17, mouse only gaps in
// columns 11 to 20. Sites by gapless position and length, in marking order:
// human AP1 1-3, TB 2-3, NFKB 10-12 (from a block's last column into the
// next block when the wrap is 10), x 11; mouse SP1 21-22, GATA 23 (the
// last column).
ReadInData SmallAlignment() {
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>();
  for (const auto& [name, text] :
       {std::pair{"human", "AAC-GTGACTCATGGA-TTCAGT"},
        std::pair{"mouse", "AACCGTGACT----------AGT"}}) {
    TSeq& seq = data.alignment->Seqs.emplace_back();
    seq.SeqName = name;
    seq.RawSeq = seq.Seq = text;
  }
  TTFSet& factor = data.factors.emplace_back();
  factor.Color = 0x0000FF;
  factor.MatchType = kMatchLength;
  const struct {
    const char* seq;
    std::uint32_t position;
    std::uint32_t length;
    const char* label;
  } sites[] = {{"human", 1, 3, "AP1"},  {"human", 2, 2, "TB"},
               {"human", 9, 3, "NFKB"}, {"human", 10, 1, "x"},
               {"mouse", 11, 2, "SP1"}, {"mouse", 13, 1, "GATA"}};
  for (const auto& site : sites) {
    factor.SeqNames.push_back(site.seq);
    factor.Positions.push_back(site.position);
    factor.Lengths.push_back(site.length);
    factor.Labels.push_back(site.label);
  }
  return data;
}

// One line per figure line: "block first+count", "num:text", "tick:text",
// "seq s line@offset+length ->end" and "label s:text".
std::vector<std::string> Dump(const FigureLayout& layout) {
  std::vector<std::string> dump;
  for (const FigureBlock& block : layout.blocks) {
    dump.push_back("block " + std::to_string(block.first_column) + "+" +
                   std::to_string(block.column_count));
    for (const FigureLine& line : block.lines) {
      const std::string seq = std::to_string(line.seq);
      switch (line.kind) {
        case FigureLineKind::kRulerNumbers:
          dump.push_back("num:" + line.text);
          break;
        case FigureLineKind::kRulerTicks:
          dump.push_back("tick:" + line.text);
          break;
        case FigureLineKind::kSequence:
          dump.push_back("seq " + seq + " " + std::to_string(line.view_line) +
                         "@" + std::to_string(line.view_offset) + "+" +
                         std::to_string(line.length) + " ->" +
                         std::to_string(line.end_position));
          break;
        case FigureLineKind::kLabels:
          dump.push_back("label " + seq + ":" + line.text);
          break;
      }
    }
  }
  return dump;
}

TEST(FigureLayoutTest, CutsRowsRulersAndLabelsIntoBlocks) {
  const ReadInData data = SmallAlignment();
  AnnotatedView annotated;
  RecordingSink sink;
  AnnotateTFSites(data, annotated, sink);
  ASSERT_TRUE(sink.texts.empty());
  ASSERT_EQ(annotated.line_index, ADWord({0, 3}));  // human has two tracks

  const struct {
    std::size_t wrap;
    std::vector<std::string> dump;
  } cases[] = {
      {10,
       {"block 1+10", "num:         10", "tick:         |", "seq 0 0@8+10 ->9",
        "label 0:AP1      NFKB", "label 0: TB", "seq 1 3@8+10 ->10",
        // Labels that start in an earlier block are not repeated; the row
        // of gaps keeps its count.
        "block 11+10", "num:         20", "tick:         |",
        "seq 0 0@18+10 ->18", "label 0:x", "seq 1 3@18+10 ->10", "block 21+3",
        "num:", "tick:", "seq 0 0@28+3 ->21", "seq 1 3@28+3 ->13",
        "label 1:SP1", "label 1:  GATA"}},
      {15,
       {"block 1+15", "num:         10", "tick:         |", "seq 0 0@8+15 ->14",
        "label 0:AP1      NFKB", "label 0: TB       x", "seq 1 3@8+15 ->10",
        "block 16+8", "num:    20", "tick:    |", "seq 0 0@23+8 ->21",
        "seq 1 3@23+8 ->13", "label 1:     SP1", "label 1:       GATA"}},
      // A wrap beyond the alignment's length: one block.
      {1000,
       {"block 1+23", "num:         10        20", "tick:         |         |",
        "seq 0 0@8+23 ->21", "label 0:AP1      NFKB", "label 0: TB       x",
        "seq 1 3@8+23 ->13", "label 1:                    SP1",
        "label 1:                      GATA"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("wrap " + std::to_string(c.wrap));
    const FigureLayout layout = LayoutFigure(data, annotated, c.wrap);
    EXPECT_EQ(Dump(layout), c.dump);
    EXPECT_EQ(layout.name_width, 5u);
    EXPECT_EQ(layout.position_width, 2u);
    // Each sequence line refers to its block's letters in the view, and
    // exactly the columns of a site are underlined there.
    for (const FigureBlock& block : layout.blocks) {
      for (const FigureLine& line : block.lines) {
        if (line.kind != FigureLineKind::kSequence) continue;
        const std::string& seq = data.alignment->Seqs[line.seq].Seq;
        EXPECT_EQ(annotated.view.Line(line.view_line)
                      .substr(line.view_offset, line.length),
                  seq.substr(block.first_column - 1, line.length));
        for (std::uint64_t k = 0; k < line.length; ++k) {
          const std::uint64_t column = block.first_column + k;
          bool in_site = false;
          for (const PlacedSite& site : annotated.sites) {
            in_site |= site.seq == line.seq && site.first_column <= column &&
                       column <= site.last_column;
          }
          const auto& attributes = annotated.view.Attributes(
              LineStart(annotated.view, line.view_line) + line.view_offset + k);
          EXPECT_EQ((attributes.style & kFontUnderline) != 0, in_site)
              << "sequence " << line.seq << " column " << column;
        }
      }
    }
  }

  // Without the annotation's rows there is nothing to lay out.
  EXPECT_TRUE(LayoutFigure(data, AnnotatedView(), 10).blocks.empty());
  ReadInData empty;
  empty.alignment = std::make_unique<TSeqSet>();
  EXPECT_TRUE(LayoutFigure(empty, annotated, 10).blocks.empty());
}

}  // namespace
}  // namespace tessarin
