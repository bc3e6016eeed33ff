#include "view/plot_svg.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "view/colors.h"
#include "view/html_runs.h"

namespace tessarin {

namespace {

// Units of the drawing: a character cell is 6 wide and an em 10 high, the
// proportions of the usual fixed-pitch fonts (0.6 em per character).
constexpr int kCell = 6;
constexpr int kStrip = 30;  // 3 em per score
constexpr int kTicks = 6;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string Cutoff(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

}  // namespace

void WritePlotSvg(const ConservationPlot& plot, std::uint64_t first_column,
                  std::uint64_t count, std::uint64_t lead_cells,
                  DocumentOut& out) {
  const std::uint64_t last_column = first_column + count - 1;
  const std::uint64_t cells = lead_cells + count;
  const int height = static_cast<int>(plot.curves.size()) * kStrip + kTicks;
  auto x = [&](std::uint64_t column) {
    return std::to_string((lead_cells + column - first_column) * kCell);
  };
  out.Append(
      "<svg class=\"plot\" xmlns=\"http://www.w3.org/2000/svg\" "
      "viewBox=\"0 0 " +
      std::to_string(cells * kCell) + " " + std::to_string(height) +
      "\" preserveAspectRatio=\"none\" style=\"width:" + std::to_string(cells) +
      "ch;height:" + Number(height / 10.0) + "em\">");
  for (std::size_t s = 0; s < plot.curves.size(); ++s) {
    const PlotCurve& curve = plot.curves[s];
    const int top = static_cast<int>(s) * kStrip;
    auto y = [&](double value) {
      const double span = curve.high > curve.low ? curve.high - curve.low : 1;
      const double low = curve.high > curve.low ? curve.low : curve.low - 0.5;
      return Number(top + kStrip - 2 - (value - low) / span * (kStrip - 6));
    };
    out.Append("<g class=\"strip\">");
    const std::string shade = curve.chosen ? "#ffffa0" : "#eeeeee";
    for (auto range = std::lower_bound(
             plot.passing.begin(), plot.passing.end(), first_column,
             [](const ColumnRange&r, std::uint64_t c) { return r.last < c; });
         range != plot.passing.end() && range->first <= last_column; ++range) {
      const std::uint64_t from = std::max(range->first, first_column);
      const std::uint64_t to = std::min(range->last, last_column);
      out.Append("<rect class=\"conserved\" x=\"" + x(from) + "\" y=\"" +
                 std::to_string(top) + "\" width=\"" +
                 std::to_string((to - from + 1) * kCell) + "\" height=\"" +
                 std::to_string(kStrip) + "\" fill=\"" + shade + "\"/>");
    }
    std::string path;
    const PlotStep* previous = nullptr;
    for (auto it = std::lower_bound(curve.steps.begin(), curve.steps.end(),
                                    first_column,
                                    [](const PlotStep&p, std::uint64_t c) {
                                      return p.last_column < c;
                                    });
         it != curve.steps.end() && it->first_column <= last_column; ++it) {
      const PlotStep& step = *it;
      const std::uint64_t from = std::max(step.first_column, first_column);
      const std::uint64_t to = std::min(step.last_column, last_column);
      const bool joined = previous != nullptr &&
                          previous->last_column + 1 == step.first_column &&
                          step.first_column >= first_column;
      path += (joined ? "V" : "M" + x(from) + " ") + y(step.value) + "H" +
              x(to + 1);
      previous = &step;
    }
    const std::string ink = curve.chosen ? "#005aa0" : "#999999";
    if (!path.empty()) {
      out.Append("<path class=\"curve\" d=\"" + path +
                 "\" fill=\"none\" stroke=\"" + ink +
                 "\" vector-effect=\"non-scaling-stroke\"/>");
    }
    std::string label = curve.name;
    if (curve.cutoff) {
      out.Append("<line class=\"cutoff\" x1=\"" + x(first_column) + "\" x2=\"" +
                 x(last_column + 1) + "\" y1=\"" + y(*curve.cutoff) +
                 "\" y2=\"" + y(*curve.cutoff) + "\" stroke=\"" +
                 (curve.chosen ? "#c80000" : "#c0a0a0") +
                 "\" stroke-dasharray=\"4 3\" "
                 "vector-effect=\"non-scaling-stroke\"/>");
      label += " < " + Cutoff(*curve.cutoff);
    }
    out.Append("<text x=\"1\" y=\"" + std::to_string(top + 9) +
               "\" font-size=\"8\" font-family=\"sans-serif\" fill=\"" +
               (curve.chosen ? std::string("#000000") : ink) + "\">");
    WriteHtmlEscaped(label, out);
    out.Append("</text></g>");
  }
  const int band = static_cast<int>(plot.curves.size()) * kStrip;
  const std::uint64_t reach =
      first_column > plot.widest_tick ? first_column - plot.widest_tick : 0;
  for (auto it = std::lower_bound(plot.ticks.begin(), plot.ticks.end(), reach,
                                  [](const PlotTick&t, std::uint64_t c) {
                                    return t.first_column < c;
                                  });
       it != plot.ticks.end() && it->first_column <= last_column; ++it) {
    const PlotTick& tick = *it;
    if (tick.last_column < first_column) continue;
    const std::uint64_t from = std::max(tick.first_column, first_column);
    const std::uint64_t to = std::min(tick.last_column, last_column);
    const std::optional<Rgb> rgb = ShownTextColor(tick.color);
    out.Append("<rect class=\"site\" x=\"" + x(from) + "\" y=\"" +
               std::to_string(band + 1) + "\" width=\"" +
               std::to_string((to - from + 1) * kCell) + "\" height=\"" +
               std::to_string(kTicks - 2) + "\" fill=\"" +
               (rgb ? CssColor(*rgb) : std::string("#000000")) + "\"/>");
  }
  out.Append("</svg>");
}

}  // namespace tessarin
