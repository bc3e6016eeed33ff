#include "view/conservation_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tessarin {

namespace {

constexpr std::uint32_t kNoWindow = std::numeric_limits<std::uint32_t>::max();

// A window clipped to the columns, with twice its centre.
struct Span {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::uint64_t centre2 = 0;  // first + last
};

std::vector<Span> Spans(const TConserved& data, std::uint64_t columns) {
  const std::size_t windows =
      std::min(data.WinStart.size(), data.WinEnd.size());
  std::vector<Span> spans(windows);
  for (std::size_t w = 0; w < windows; ++w) {
    const std::uint64_t first = std::max<std::uint64_t>(data.WinStart[w], 1);
    const std::uint64_t last = std::min<std::uint64_t>(data.WinEnd[w], columns);
    spans[w] = {first, last, first + last};  // empty when last < first
  }
  return spans;
}

std::uint64_t Distance(std::uint64_t column, std::uint64_t centre2) {
  const std::uint64_t twice = 2 * column;
  return twice > centre2 ? twice - centre2 : centre2 - twice;
}

// Windows in order of start and of end: the windows over a column are a run
// of consecutive ones, and the nearest centre among them moves only
// forward, so one pass over the columns settles every column.
bool InOrder(const std::vector<Span>& spans) {
  for (std::size_t w = 1; w < spans.size(); ++w) {
    if (spans[w].first < spans[w - 1].first ||
        spans[w].last < spans[w - 1].last) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint32_t> WindowsInOrder(const std::vector<Span>& spans,
                                          std::uint64_t columns,
                                          bool& overlapping) {
  std::vector<std::uint32_t> shown(columns + 1, kNoWindow);
  const std::size_t count = spans.size();
  // next_centre[w]: the first window after w with another centre.
  std::vector<std::size_t> next_centre(count, count);
  for (std::size_t w = count; w-- > 1;) {
    next_centre[w - 1] =
        spans[w].centre2 != spans[w - 1].centre2 ? w : next_centre[w];
  }
  std::size_t lo = 0;    // the first window that ends at or after c
  std::size_t hi = 0;    // one past the last window that starts at or before c
  std::size_t best = 0;  // the shown window
  for (std::uint64_t c = 1; c <= columns; ++c) {
    while (lo < count && spans[lo].last < c) ++lo;
    while (hi < count && spans[hi].first <= c) ++hi;
    if (lo >= hi) continue;  // no window over c (an empty one never is)
    if (hi - lo > 1) overlapping = true;
    best = std::max(best, lo);
    while (next_centre[best] < hi &&
           Distance(c, spans[next_centre[best]].centre2) <
               Distance(c, spans[best].centre2)) {
      best = next_centre[best];
    }
    if (spans[best].first <= c && c <= spans[best].last) {
      shown[c] = static_cast<std::uint32_t>(best);
    }
  }
  return shown;
}

// Any order: each window offers itself to its columns, the nearer centre
// (or, as near, the earlier window) keeping them.
std::vector<std::uint32_t> WindowsAnyOrder(const std::vector<Span>& spans,
                                           std::uint64_t columns,
                                           bool& overlapping) {
  std::vector<std::uint32_t> shown(columns + 1, kNoWindow);
  for (std::size_t w = 0; w < spans.size(); ++w) {
    for (std::uint64_t c = spans[w].first; c <= spans[w].last; ++c) {
      std::uint32_t& at = shown[c];
      if (at != kNoWindow) {
        overlapping = true;
        if (Distance(c, spans[at].centre2) <= Distance(c, spans[w].centre2)) {
          continue;
        }
      }
      at = static_cast<std::uint32_t>(w);
    }
  }
  return shown;
}

PlotCurve Curve(const TConserved& data, const AByte& criteria, std::size_t s,
                const std::vector<std::uint32_t>& shown) {
  PlotCurve curve;
  curve.name = data.ScoreNames[s];
  curve.chosen = s < criteria.size() && criteria[s] == 1;
  const bool ml = curve.name == "ML";
  const AExt empty;
  const AExt& scores = s < data.Scores.size() ? data.Scores[s] : empty;
  bool any = false;
  auto widen = [&](double value) {
    curve.low = any ? std::min(curve.low, value) : value;
    curve.high = any ? std::max(curve.high, value) : value;
    any = true;
  };
  for (std::uint64_t c = 1; c < shown.size(); ++c) {
    const std::uint32_t w = shown[c];
    if (w == kNoWindow || w >= scores.size()) continue;
    const auto value = static_cast<double>(scores[w]);
    if (std::isnan(value) || (ml && value == -1)) continue;
    if (!curve.steps.empty() && curve.steps.back().last_column + 1 == c &&
        curve.steps.back().value == value) {
      curve.steps.back().last_column = c;
      continue;
    }
    curve.steps.push_back({c, c, value});
    widen(value);
  }
  if (s < data.Cutoffs.size() &&
      !std::isnan(static_cast<double>(data.Cutoffs[s]))) {
    curve.cutoff = static_cast<double>(data.Cutoffs[s]);
    widen(*curve.cutoff);
  }
  return curve;
}

}  // namespace

ConservationPlot BuildConservationPlot(
    const ReadInData& data, const AByte& criteria,
    const AnnotatedView& annotated, const std::vector<std::uint32_t>* colors) {
  ConservationPlot plot;
  if (data.alignment == nullptr) return plot;
  plot.columns = data.alignment->MaxLength();
  const TConserved& conservation = data.conservation;
  const std::vector<Span> spans = Spans(conservation, plot.columns);
  const std::vector<std::uint32_t> shown =
      InOrder(spans) ? WindowsInOrder(spans, plot.columns, plot.overlapping)
                     : WindowsAnyOrder(spans, plot.columns, plot.overlapping);
  for (std::size_t s = 0; s < conservation.ScoreNames.size(); ++s) {
    plot.curves.push_back(Curve(conservation, criteria, s, shown));
  }
  plot.passing = annotated.conserved;

  // The ticks by first column: a counting sort.
  std::vector<std::size_t> start(plot.columns + 2, 0);
  std::size_t kept = 0;
  for (const PlacedSite& site : annotated.sites) {
    if (site.first_column > plot.columns) continue;
    ++start[site.first_column + 1];
    ++kept;
  }
  for (std::size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  plot.ticks.resize(kept);
  for (const PlacedSite& site : annotated.sites) {
    if (site.first_column > plot.columns) continue;
    const std::uint32_t color =
        colors != nullptr && site.factor < colors->size()
            ? (*colors)[site.factor]
        : site.factor < data.factors.size() ? data.factors[site.factor].Color
                                            : 0;
    plot.widest_tick =
        std::max(plot.widest_tick, site.last_column - site.first_column + 1);
    plot.ticks[start[site.first_column]++] = {
        site.first_column, std::min(site.last_column, plot.columns),
        site.factor, color};
  }
  return plot;
}

PlotSpan PlotForColumns(const ConservationPlot& plot, std::uint64_t first,
                        std::uint64_t last) {
  PlotSpan span;
  for (const PlotCurve& curve : plot.curves) {
    PlotCurveSpan& shown = span.curves.emplace_back();
    shown.curve = &curve;
    for (auto range = std::lower_bound(
             plot.passing.begin(), plot.passing.end(), first,
             [](const ColumnRange&r, std::uint64_t c) { return r.last < c; });
         range != plot.passing.end() && range->first <= last; ++range) {
      shown.shaded.push_back(
          {std::max(range->first, first), std::min(range->last, last)});
    }
    const PlotStep* previous = nullptr;
    for (auto step =
             std::lower_bound(curve.steps.begin(), curve.steps.end(), first,
                              [](const PlotStep&p, std::uint64_t c) {
                                return p.last_column < c;
                              });
         step != curve.steps.end() && step->first_column <= last; ++step) {
      if (previous == nullptr ||
          previous->last_column + 1 != step->first_column) {
        shown.pieces.emplace_back();
      }
      shown.pieces.back().push_back({std::max(step->first_column, first),
                                     std::min(step->last_column, last),
                                     step->value});
      previous = &*step;
    }
  }
  const std::uint64_t reach =
      first > plot.widest_tick ? first - plot.widest_tick : 0;
  for (auto tick = std::lower_bound(plot.ticks.begin(), plot.ticks.end(), reach,
                                    [](const PlotTick&t, std::uint64_t c) {
                                      return t.first_column < c;
                                    });
       tick != plot.ticks.end() && tick->first_column <= last; ++tick) {
    if (tick->last_column < first) continue;
    PlotTick clipped = *tick;
    clipped.first_column = std::max(tick->first_column, first);
    clipped.last_column = std::min(tick->last_column, last);
    span.ticks.push_back(clipped);
  }
  return span;
}

double PlotHeightShare(const PlotCurve& curve, double value) {
  if (!(curve.high > curve.low)) return 0.5;
  return (value - curve.low) / (curve.high - curve.low);
}

namespace {

std::string AxisNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", value);
  return text;
}

}  // namespace

std::string PlotAxisTop(const PlotCurve& curve) {
  return AxisNumber(curve.high);
}

std::string PlotAxisBottom(const PlotCurve& curve) {
  return AxisNumber(curve.low);
}

std::string PlotCurveLabel(const PlotCurve& curve) {
  std::string label = curve.name;
  if (curve.cutoff) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", *curve.cutoff);
    label += std::string(" < ") + text;
  }
  return label;
}

std::string PlotLegendNote(const ConservationPlot& plot) {
  return plot.overlapping
             ? "windows overlap: each column shows the window centred nearest "
               "to it"
             : std::string();
}

}  // namespace tessarin
