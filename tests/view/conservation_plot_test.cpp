// The conservation plot's model: steps, gaps, cut-offs, shading and ticks.
#include "view/conservation_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/view/view_test_support.h"
#include "text/message_sink.h"
#include "view/conservation_highlight.h"
#include "view/plot_svg.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

// One row of `columns` residues and the windows given as start, end and
// one value per score (NaN for none).
ReadInData Data(std::uint32_t columns,
                const std::vector<std::vector<double>>& windows,
                std::vector<std::string> names) {
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>();
  TSeq& seq = data.alignment->Seqs.emplace_back();
  seq.SeqName = "human";
  seq.RawSeq = seq.Seq = std::string(columns, 'A');
  TConserved& c = data.conservation;
  c.NScores = static_cast<std::int32_t>(names.size());
  c.ScoreNames = std::move(names);
  c.Scores.resize(c.ScoreNames.size());
  for (const auto& w : windows) {
    c.WinStart.push_back(static_cast<std::uint32_t>(w[0]));
    c.WinEnd.push_back(static_cast<std::uint32_t>(w[1]));
    for (std::size_t s = 0; s < c.ScoreNames.size(); ++s) {
      c.Scores[s].push_back(static_cast<long double>(w[2 + s]));
    }
  }
  c.Cutoffs.assign(c.ScoreNames.size(), 0.5L);
  return data;
}

std::string Steps(const PlotCurve& curve) {
  std::string text;
  for (const PlotStep& step : curve.steps) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", step.value);
    text += std::to_string(step.first_column) + "-" +
            std::to_string(step.last_column) + ":" + value + " ";
  }
  return text;
}

TEST(ConservationPlotTest, StepsGapsCutoffsShadingAndTicks) {
  const double nan = std::nan("");
  // Windows of 4 columns, step 2, over 10 columns, the last clipped; ML's
  // -1 and PI's NaN are no value.
  ReadInData data = Data(10,
                         {{1, 4, 0.2, 0.9},
                          {3, 6, -1, 0.3},
                          {5, 8, 0.2, nan},
                          {7, 10, 0.7, 0.3},
                          {9, 12, 0.1, 0.3}},
                         {"ML", "PI"});
  TTFSet& factor = data.factors.emplace_back();
  factor.Color = 0x0000FF;
  factor.MatchType = kMatchLength;
  factor.SeqNames = {"human", "human"};
  factor.Positions = {7, 2};
  factor.Lengths = {2, 3};
  factor.Labels = {"a", "b"};
  AnnotatedView annotated;
  NullSink sink;
  AnnotateTFSites(data, annotated, sink);
  const AByte criteria = {1, 0};
  HighlightConservedWindows(data, criteria, annotated);

  const ConservationPlot plot =
      BuildConservationPlot(data, criteria, annotated);
  EXPECT_EQ(plot.columns, 10u);
  EXPECT_TRUE(plot.overlapping);
  ASSERT_EQ(plot.curves.size(), 2u);
  // Column c shows the window centred nearest: centres 2.5, 4.5, 6.5, 8.5
  // and 9.5 (the last window clipped to 9-10); at column 9 the fourth and
  // the fifth are as near and the earlier wins.
  EXPECT_EQ(Steps(plot.curves[0]), "1-3:0.2 6-7:0.2 8-9:0.7 10-10:0.1 ");
  EXPECT_EQ(Steps(plot.curves[1]), "1-3:0.9 4-5:0.3 8-10:0.3 ");
  EXPECT_TRUE(plot.curves[0].chosen);
  EXPECT_FALSE(plot.curves[1].chosen);
  EXPECT_EQ(plot.curves[0].cutoff, 0.5);
  EXPECT_DOUBLE_EQ(plot.curves[0].low, 0.1);
  EXPECT_DOUBLE_EQ(plot.curves[0].high, 0.7);
  // ML below 0.5 in windows 1, 3 and 5 (the -1 of window 2 passes too, as
  // the highlighting reads it).
  EXPECT_EQ(plot.passing, annotated.conserved);
  EXPECT_EQ(plot.passing, (std::vector<ColumnRange>{{1, 10}}));
  EXPECT_EQ(plot.ticks,
            (std::vector<PlotTick>{{2, 4, 0, 0x0000FF}, {7, 8, 0, 0x0000FF}}));
  EXPECT_NE(PlotLegendNote(plot), "");
}

// Windows in order take one pass, others a pass per window: both show the
// window centred nearest to each column, the earlier of two as near.
TEST(ConservationPlotTest, EveryColumnShowsTheNearestCentredWindow) {
  std::mt19937 random(3);
  for (const bool sorted : {true, false}) {
    for (int round = 0; round < 50; ++round) {
      const std::uint32_t columns = 30;
      std::vector<std::vector<double>> windows;
      std::uint32_t start = 1;
      for (int w = 0; w < 12; ++w) {
        const std::uint32_t s = sorted ? start : 1 + random() % 34;
        const std::uint32_t width = sorted ? 5 : 1 + random() % 8;
        windows.push_back({double(s), double(s + width - 1), double(w)});
        start += random() % 3;
      }
      const ReadInData data = Data(columns, windows, {"S"});
      const ConservationPlot plot = BuildConservationPlot(data, {1}, {});
      std::vector<double> expected(columns + 1, -1);
      for (std::uint32_t c = 1; c <= columns; ++c) {
        double best = -1, distance = 1e9;
        for (const auto& w : windows) {
          const double last = std::min<double>(w[1], columns);
          if (w[0] > c || last < c) continue;
          const double d = std::abs(2.0 * c - (w[0] + last));
          if (d < distance) distance = d, best = w[2];
        }
        expected[c] = best;
      }
      std::vector<double> shown(columns + 1, -1);
      for (const PlotStep& step : plot.curves[0].steps) {
        for (auto c = step.first_column; c <= step.last_column; ++c) {
          shown[c] = step.value;
        }
      }
      ASSERT_EQ(shown, expected) << (sorted ? "in order" : "any order");
    }
  }
}

// How often `needle` occurs in `text`.
std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

// Whether every element of `xml` is closed, in order (no text holds '<').
bool Balanced(const std::string& xml) {
  std::vector<std::string> open;
  for (auto at = xml.find('<'); at != std::string::npos;
       at = xml.find('<', at + 1)) {
    const auto end = xml.find('>', at);
    if (end == std::string::npos) return false;
    const std::string tag = xml.substr(at + 1, end - at - 1);
    if (tag.back() == '/') continue;
    const std::string name = tag.substr(0, tag.find(' '));
    if (name.front() != '/') {
      open.push_back(name);
    } else if (open.empty() || open.back() != name.substr(1)) {
      return false;
    } else {
      open.pop_back();
    }
  }
  return open.empty();
}

TEST(PlotSvgTest, ExampleHasACurveAndCutoffPerScoreAndTheViewsWindows) {
  ReadInData data;
  AnnotatedView annotated;
  view_test::AnnotateExample(data, annotated);
  const ConservationPlot plot =
      BuildConservationPlot(data, {1, 1, 1}, annotated);
  std::ostringstream svg;
  {
    DocumentOut out(svg);
    WritePlotSvg(plot, 1, plot.columns, 10, out);
  }
  const std::string text = svg.str();
  EXPECT_TRUE(Balanced(text)) << text;
  EXPECT_EQ(Count(text, "<path class=\"curve\""), 3u);
  EXPECT_EQ(Count(text, "<line class=\"cutoff\""), 3u);
  // Each strip shades the view's yellow stretches: 11-40, 61-80, 91-120,
  // 131-150, 161-190 (ML's N/A reads as -1, below every cut-off) and
  // 231-241.
  EXPECT_EQ(annotated.conserved.size(), 6u);
  EXPECT_EQ(Count(text, "<rect class=\"conserved\""), 3 * 6u);
  EXPECT_EQ(Count(text, "<rect class=\"site\""), annotated.sites.size());
  EXPECT_NE(text.find(">ML &lt; 0.132<"), std::string::npos);
}

}  // namespace
}  // namespace tessarin
