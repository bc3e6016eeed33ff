// The conservation plot: each score of the conservation data as a step
// curve over the alignment's columns with its cut-off, the windows that
// pass shaded, and a tick per binding site along the bottom. Plain data
// that the window and the figure renderers draw.
#ifndef TESSARIN_VIEW_CONSERVATION_PLOT_H_
#define TESSARIN_VIEW_CONSERVATION_PLOT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sources/reading_in.h"
#include "text/arrays.h"
#include "view/annotated_view.h"

namespace tessarin {

// Columns first..last (1-based, both included) that show one value.
struct PlotStep {
  std::uint64_t first_column = 0;
  std::uint64_t last_column = 0;
  double value = 0;

  bool operator==(const PlotStep&) const = default;
};

struct PlotCurve {
  std::string name;
  bool chosen = false;           // whether the score counts as a criterion
  std::optional<double> cutoff;  // the horizontal line; none without one
  // In column order; a column without a value (no window, or "N/A") lies
  // in no step, which leaves a gap in the curve.
  std::vector<PlotStep> steps;
  double low = 0;   // the least and greatest of the values and the cut-off,
  double high = 0;  // for the axis (equal when there is only one value)
};

// One binding site: its columns and its factor.
struct PlotTick {
  std::uint64_t first_column = 0;
  std::uint64_t last_column = 0;
  std::size_t factor = 0;
  std::uint32_t color = 0;  // the factor's colour value, as the view's

  bool operator==(const PlotTick&) const = default;
};

struct ConservationPlot {
  std::uint64_t columns = 0;         // the alignment's length
  std::vector<PlotCurve> curves;     // one per score, in score order
  std::vector<ColumnRange> passing;  // the yellow windows' columns
  std::vector<PlotTick> ticks;       // by first column
  std::uint64_t widest_tick = 0;     // columns of the widest tick
  // Whether windows overlap: a column covered by several shows the value of
  // the one whose centre lies nearest (the earlier of two as near), and the
  // legend says so.
  bool overlapping = false;
};

// The plot of `data`'s conservation windows for `criteria`, with the passing
// windows and sites of `annotated` (highlighted and annotated from `data`).
// `colors`, when given, holds each factor's colour in place of its own, as
// for the annotation. A value that is NaN, or -1 in the column of a score
// named "ML" (how "N/A" is read there), is no value. Windows are clipped to
// the columns. Linear in windows, columns and sites when the windows run in
// order of start and end (sliding windows); otherwise in windows plus the
// columns each covers.
ConservationPlot BuildConservationPlot(
    const ReadInData& data, const AByte& criteria,
    const AnnotatedView& annotated,
    const std::vector<std::uint32_t>* colors = nullptr);

// What the plot shows over columns first to last: per curve, the passing
// windows and the curve's steps clipped to those columns, the steps split
// into pieces where the curve has a gap; and the ticks that reach into the
// columns, clipped. Found by binary search, so a block or a screenful costs
// only what it shows.
struct PlotCurveSpan {
  const PlotCurve* curve = nullptr;
  std::vector<ColumnRange> shaded;
  std::vector<std::vector<PlotStep>> pieces;
};
struct PlotSpan {
  std::vector<PlotCurveSpan> curves;
  std::vector<PlotTick> ticks;
};
PlotSpan PlotForColumns(const ConservationPlot& plot, std::uint64_t first,
                        std::uint64_t last);

// Where `value` stands in its curve's strip: 0 at the bottom (the curve's
// least value), 1 at the top (its greatest); 0.5 when they are equal.
double PlotHeightShare(const PlotCurve& curve, double value);

// The name of the curve's score and its cut-off: "ML < 0.132".
std::string PlotCurveLabel(const PlotCurve& curve);
// The axis labels of a curve's strip: its greatest and least value, as
// "0.321" and "0.085".
std::string PlotAxisTop(const PlotCurve& curve);
std::string PlotAxisBottom(const PlotCurve& curve);

// The text under a plot: "centre-nearest window per column" when windows
// overlap, else empty.
std::string PlotLegendNote(const ConservationPlot& plot);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_CONSERVATION_PLOT_H_
