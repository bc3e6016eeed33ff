#include "view/tf_annotation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "alignment/position_map.h"
#include "text/strings.h"
#include "view/conservation_highlight.h"
#include "view/label_tracks.h"
#include "view/selection_status.h"

namespace tessarin {
namespace {

TSeqSet Alignment(
    std::initializer_list<std::pair<const char*, const char*>> rows) {
  TSeqSet set;
  for (const auto& [name, text] : rows) {
    TSeq& seq = set.Seqs.emplace_back();
    seq.SeqName = name;
    seq.RawSeq = text;
    seq.Seq = text;
  }
  return set;
}

TTFSet Factor(std::uint32_t color, std::uint8_t match_type) {
  TTFSet factor;
  factor.Color = color;
  factor.MatchType = match_type;
  return factor;
}

void AddSite(TTFSet& factor, const char* seq, std::uint32_t position,
             const char* label, const char* site, std::uint32_t length = 0) {
  factor.SeqNames.push_back(seq);
  factor.Positions.push_back(position);
  factor.Labels.push_back(label);
  factor.Sites.push_back(site);
  factor.Lengths.push_back(length);
}

// What reading in would give for `alignment` and `factors`.
ReadInData Data(const TSeqSet& alignment, const TaTFSet& factors) {
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>(alignment);
  data.factors = factors;
  return data;
}

std::vector<std::string> Lines(const RichView& view) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < view.LineCount(); ++i) {
    lines.emplace_back(view.Line(i));
  }
  return lines;
}

// The attributes of alignment column c of a row with prefix length p.
const CharAttributes& At(const RichView& view, std::size_t line,
                         std::size_t prefix, std::size_t column) {
  return view.Attributes(LineStart(view, line) + prefix + column - 1);
}

class WorkedExampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const TSeqSet alignment = Alignment({{"human", "AAC-GTGACTCAT"}});
    TTFSet f0 = Factor(0xFF0000, 0);
    AddSite(f0, "human", 5, "AP1", "TGACTGA");
    TTFSet f1 = Factor(0x00FF00, 1);
    AddSite(f1, "human", 5, "TB", "tgACTc");
    TTFSet f2 = Factor(0x0000FF, 2);
    AddSite(f2, "human", 2, "L", "", 3);
    data_ = Data(alignment, {f0, f1, f2});
    annotated_.view.SetSelection(3, 2);
    AnnotateTFSites(data_, annotated_, sink_);
  }

  ReadInData data_;
  AnnotatedView annotated_;
  const RichView& view_ = annotated_.view;
  const ADWord& line_index_ = annotated_.line_index;
  RecordingSink sink_;
};

TEST_F(WorkedExampleTest, WritesRowAndPackedTracks) {
  EXPECT_EQ(Lines(view_), (std::vector<std::string>{"human> \tAAC-GTGACTCAT",
                                                    "human> \t.L...AP1.....",
                                                    "human> \t.......TB...."}));
  EXPECT_EQ(line_index_, ADWord({0}));
  EXPECT_TRUE(sink_.texts.empty());
}

TEST_F(WorkedExampleTest, MarksSitesInFactorOrder) {
  const std::uint8_t bold_line = kFontBold | kFontUnderline;
  const std::uint8_t struck_line = kFontStrikeOut | kFontUnderline;
  struct Expect {
    std::size_t column;
    std::optional<std::uint32_t> color;
    std::uint8_t style;
  };
  const Expect expected[] = {
      {1, std::nullopt, 0},          {2, 0x0000FF, kFontUnderline},
      {3, 0x0000FF, kFontUnderline}, {4, 0x0000FF, kFontUnderline},
      {5, 0x0000FF, kFontUnderline}, {6, 0xFF0000, bold_line},
      {7, 0xFF0000, bold_line},      {8, 0x00FF00, bold_line},
      {9, 0x00FF00, bold_line},      {10, 0x00FF00, bold_line},
      {11, 0xFF0000, struck_line},   {12, 0xFF0000, bold_line},
      {13, std::nullopt, 0},
  };
  for (const Expect& e : expected) {
    const CharAttributes& a = At(view_, 0, 8, e.column);
    EXPECT_EQ(a.color, e.color) << "column " << e.column;
    EXPECT_EQ(a.style, e.style) << "column " << e.column;
    EXPECT_FALSE(a.back.has_value());
  }
}

TEST_F(WorkedExampleTest, LeavesTheUserSelectionAlone) {
  EXPECT_EQ(view_.SelStart(), 3u);
  EXPECT_EQ(view_.SelLength(), 2u);
}

TEST(AnnotateTest, NothingWithoutFactorsOrSequences) {
  const TSeqSet alignment = Alignment({{"a", "ACGT"}});
  AnnotatedView out;
  out.line_index = {7};
  RecordingSink sink;
  AnnotateTFSites(Data(alignment, {}), out, sink);
  EXPECT_EQ(out.view.LineCount(), 0u);
  EXPECT_EQ(out.line_index, ADWord({7}));
  ReadInData no_alignment;
  no_alignment.factors = {Factor(1, 0)};
  AnnotateTFSites(no_alignment, out, sink);
  EXPECT_EQ(out.view.LineCount(), 0u);
}

TEST(AnnotateTest, RowsTracksAndLineIndexPerSequence) {
  const TSeqSet alignment =
      Alignment({{"a", "ACGTACGT"}, {"bb", "ACGTACGT"}, {"a", "AC--ACGT"}});
  TTFSet factor = Factor(0xFF0000, 0);
  AddSite(factor, "a", 1, "XX", "AC");
  AddSite(factor, "a", 2, "YY", "CG");  // collides with XX at column 2
  AddSite(factor, "a", 4, "Z", "TA");   // begins right after XX's track room
  AddSite(factor, "nobody", 1, "N", "A");
  TaTFSet factors = {factor, Factor(0x00FF00, 0)};  // second has no rows
  AnnotatedView out;
  const RichView& view = out.view;
  const ADWord& line_index = out.line_index;
  RecordingSink sink;
  AnnotateTFSites(Data(alignment, factors), out, sink);
  EXPECT_EQ(Lines(view), (std::vector<std::string>{
                             "a> \tACGTACGT", "a> \tXX.Z....", "a> \t.YY.....",
                             "bb> \tACGTACGT", "a> \tAC--ACGT", "a> \tXX...Z..",
                             "a> \t.YY....."}));
  EXPECT_EQ(line_index, ADWord({0, 3, 4}));
  EXPECT_TRUE(sink.texts.empty());
}

TEST(AnnotateTest, UnplaceableSitesReportAndMarkNothing) {
  const TSeqSet alignment = Alignment({{"s", "ACGT"}});
  TTFSet direct = Factor(0xFF0000, 0);
  AddSite(direct, "s", 4, "OUT", "TT");  // runs past the end
  AddSite(direct, "s", 0, "ZERO", "A");  // position 0 is not in the table
  AddSite(direct, "s", 4294967295u, "M", "A");  // "-1"
  AddSite(direct, "s", 2, "EMPTY", "");         // length 0: last before first
  TTFSet no_run = Factor(0x00FF00, 1);
  AddSite(no_run, "s", 1, "LOW", "acgt");  // no upper-case run
  TTFSet unknown = Factor(0x0000FF, 255);
  AddSite(unknown, "s", 1, "U", "A");
  TTFSet partial = Factor(0x0000FF, 0);
  partial.SeqNames = {"s"};
  partial.Positions = {1};  // labels and sites missing
  TaTFSet factors = {direct, no_run, unknown, partial};
  AnnotatedView out;
  const RichView& view = out.view;
  RecordingSink sink;
  AnnotateTFSites(Data(alignment, factors), out, sink);
  EXPECT_EQ(Lines(view), (std::vector<std::string>{"s> \tACGT"}));
  for (std::size_t i = 0; i < view.TextLength(); ++i) {
    EXPECT_TRUE(view.Attributes(i).IsDefault()) << i;
  }
  // OUT: last missing; ZERO: both; M: both; EMPTY: last (position 1) found,
  // first found, but last before first: no message for it.
  EXPECT_EQ(sink.texts.size(), 5u);
}

TEST(AnnotateTest, LabelReachingTheLastColumnLengthensItsTrack) {
  const TSeqSet alignment = Alignment({{"s", "ACGT"}});
  TTFSet factor = Factor(0xFF0000, 2);
  AddSite(factor, "s", 3, "LONG", "", 2);
  AddSite(factor, "s", 1, "AB", "", 1);
  AddSite(factor, "s", 4, "Q", "", 1);
  TaTFSet factors = {factor};
  AnnotatedView out;
  const RichView& view = out.view;
  RecordingSink sink;
  AnnotateTFSites(Data(alignment, factors), out, sink);
  EXPECT_EQ(Lines(view), (std::vector<std::string>{"s> \tACGT", "s> \tABLONG",
                                                   "s> \t...Q"}));
}

TEST(AnnotateTest, LeadingGapPositionZeroIsAMismatch) {
  const TSeqSet alignment = Alignment({{"s", "-ACG"}});
  TTFSet factor = Factor(0xFF0000, 0);
  AddSite(factor, "s", 0, "X", "AA");
  TaTFSet factors = {factor};
  AnnotatedView out;
  const RichView& view = out.view;
  RecordingSink sink;
  AnnotateTFSites(Data(alignment, factors), out, sink);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(At(view, 0, 4, 1).style, kFontUnderline | kFontStrikeOut);
  EXPECT_EQ(At(view, 0, 4, 2).style, kFontUnderline | kFontBold);
}

// The tracks as the placement rule puts them, tried one by one: the first
// track whose columns c to c + m - 1 are all "." (IsRunOf; a label that
// reaches the last column only needs those that exist), else a new one.
void PlainPlace(std::vector<std::string>& tracks, std::size_t length,
                std::size_t c, const std::string& label) {
  if (tracks.empty()) tracks.push_back(RepeatChar(kTrackFill, length));
  const std::size_t m = label.size();
  auto room = [&](const std::string& track) {
    if (c + m - 1 < length) return IsRunOf(track, kTrackFill, c, m);
    if (c > track.size()) return true;
    return IsRunOf(track, kTrackFill, c,
                   std::min(track.size(), c + m - 1) - c + 1);
  };
  const auto free = std::find_if(tracks.begin(), tracks.end(), room);
  if (free == tracks.end()) {
    tracks.push_back(RepeatChar(kTrackFill, length));
    OverwriteAt(tracks.back(), c, label);
  } else {
    OverwriteAt(*free, c, label);
  }
}

// Random alignments (gaps, repeated names), factors of every match type and
// labels of 0 to 14 characters with fill characters among them, placed at
// columns before, at and beyond the last. Some rounds pile thousands of labels
// onto one short row, so that the track search builds its index part way. Each
// row's tracks must be those of the plain search, as must LabelTracks' when it
// indexes from the start.
TEST(AnnotateTest, TracksAreThoseOfThePlainSearch) {
  std::mt19937 rng(11);
  auto below = [&rng](std::size_t n) { return std::size_t{rng()} % n; };
  for (int round = 0; round < 240; ++round) {
    const bool pile = round % 40 == 39;
    const std::size_t length = 1 + below(pile ? 12 : 24);
    const char* names[] = {"a", "b", "a"};
    TSeqSet alignment;
    for (std::size_t i = 0, n = pile ? 1 : 1 + below(4); i < n; ++i) {
      TSeq& seq = alignment.Seqs.emplace_back();
      seq.SeqName = names[i % 3];
      for (std::size_t k = 0; k < length; ++k) {
        seq.Seq += below(5) == 0 ? '-' : "ACGT"[below(4)];
      }
      seq.RawSeq = seq.Seq;
    }
    const AADWord tables = alignment.GaplessTables();
    TaTFSet factors;
    for (std::size_t f = 0, n = pile ? 3 : 1 + below(3); f < n; ++f) {
      TTFSet factor = Factor(0xFF0000, static_cast<std::uint8_t>(below(3)));
      for (std::size_t j = 0, rows = pile ? 1200 : below(60); j < rows; ++j) {
        std::string label;
        for (std::size_t k = 0, m = below(15); k < m; ++k) {
          label += below(4) == 0 ? kTrackFill : "XYZ"[below(3)];
        }
        const std::string site = factor.MatchType == 1 ? "acGTac" : "ACG";
        AddSite(factor, names[pile ? 0 : below(2)],
                1 + static_cast<std::uint32_t>(below(length + 4)),
                label.c_str(), site.substr(0, 1 + below(3)).c_str(),
                static_cast<std::uint32_t>(below(4)));
      }
      factors.push_back(factor);
    }

    std::vector<std::string> expected;
    for (std::size_t i = 0; i < alignment.Seqs.size(); ++i) {
      const TSeq& seq = alignment.Seqs[i];
      std::vector<std::string> tracks;
      LabelTracks indexed(seq.Seq.size(), 0, 0);
      RecordingSink quiet;
      for (const TTFSet& factor : factors) {
        for (std::size_t j = 0; j < factor.SeqNames.size(); ++j) {
          if (factor.SeqNames[j] != seq.SeqName) continue;
          std::int64_t start = factor.Positions[j];
          std::int64_t n = factor.Lengths[j];
          if (factor.MatchType != 2) {
            const UpperRun run = FindUpperRun(factor.Sites[j]);
            n = static_cast<std::int64_t>(
                factor.MatchType == 0 ? factor.Sites[j].size() : run.length);
            if (factor.MatchType == 1) {
              if (run.length == 0) continue;
              start += static_cast<std::int64_t>(run.start) - 1;
            }
          }
          const std::int64_t c = GaplessToColumn(tables, i, start, quiet);
          const std::int64_t d =
              GaplessToColumn(tables, i, start + n - 1, quiet);
          if (c == 0 || d == 0 || d < c) continue;
          PlainPlace(tracks, seq.Seq.size(), static_cast<std::size_t>(c),
                     factor.Labels[j]);
          indexed.Place(static_cast<std::size_t>(c), factor.Labels[j]);
        }
      }
      ASSERT_EQ(indexed.Count(), tracks.size()) << "round " << round;
      expected.push_back(RowPrefix(seq.SeqName) + seq.Seq);
      for (std::size_t t = 0; t < tracks.size(); ++t) {
        ASSERT_EQ(indexed.Track(t), tracks[t]) << "round " << round;
        expected.push_back(RowPrefix(seq.SeqName) + tracks[t]);
      }
    }
    AnnotatedView out;
    RecordingSink sink;
    AnnotateTFSites(Data(alignment, factors), out, sink);
    ASSERT_EQ(Lines(out.view), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace tessarin
