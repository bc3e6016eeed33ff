#include "view/plot_svg.h"

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
  auto width = [](std::uint64_t from, std::uint64_t to) {
    return std::to_string((to - from + 1) * kCell);
  };
  out.Append(
      "<svg class=\"plot\" xmlns=\"http://www.w3.org/2000/svg\" "
      "viewBox=\"0 0 " +
      std::to_string(cells * kCell) + " " + std::to_string(height) +
      "\" preserveAspectRatio=\"none\" style=\"width:" + std::to_string(cells) +
      "ch;height:" + Number(height / 10.0) + "em\">");
  const PlotSpan span = PlotForColumns(plot, first_column, last_column);
  for (std::size_t s = 0; s < span.curves.size(); ++s) {
    const PlotCurveSpan& shown = span.curves[s];
    const PlotCurve& curve = *shown.curve;
    const int top = static_cast<int>(s) * kStrip;
    auto y = [&](double value) {
      return Number(top + kStrip - 2 -
                    PlotHeightShare(curve, value) * (kStrip - 6));
    };
    out.Append("<g class=\"strip\">");
    const std::string shade = curve.chosen ? "#ffffa0" : "#eeeeee";
    for (const ColumnRange& range : shown.shaded) {
      out.Append("<rect class=\"conserved\" x=\"" + x(range.first) + "\" y=\"" +
                 std::to_string(top) + "\" width=\"" +
                 width(range.first, range.last) + "\" height=\"" +
                 std::to_string(kStrip) + "\" fill=\"" + shade + "\"/>");
    }
    std::string path;
    for (const std::vector<PlotStep>& piece : shown.pieces) {
      path += "M" + x(piece.front().first_column) + " ";
      for (std::size_t k = 0; k < piece.size(); ++k) {
        path += (k == 0 ? "" : "V") + y(piece[k].value) + "H" +
                x(piece[k].last_column + 1);
      }
    }
    const std::string ink = curve.chosen ? "#005aa0" : "#999999";
    if (!path.empty()) {
      out.Append("<path class=\"curve\" d=\"" + path +
                 "\" fill=\"none\" stroke=\"" + ink +
                 "\" vector-effect=\"non-scaling-stroke\"/>");
    }
    if (curve.cutoff) {
      out.Append("<line class=\"cutoff\" x1=\"" + x(first_column) + "\" x2=\"" +
                 x(last_column + 1) + "\" y1=\"" + y(*curve.cutoff) +
                 "\" y2=\"" + y(*curve.cutoff) + "\" stroke=\"" +
                 (curve.chosen ? "#c80000" : "#c0a0a0") +
                 "\" stroke-dasharray=\"4 3\" "
                 "vector-effect=\"non-scaling-stroke\"/>");
    }
    // The score's name inside the strip, after column 1's edge.
    out.Append("<text x=\"" + std::to_string(lead_cells * kCell + 2) +
               "\" y=\"" + std::to_string(top + 9) +
               "\" font-size=\"8\" font-family=\"sans-serif\" fill=\"" +
               (curve.chosen ? std::string("#000000") : ink) + "\">");
    WriteHtmlEscaped(PlotCurveLabel(curve), out);
    out.Append("</text>");
    // The axis: the strip's greatest and least value before column 1.
    const std::string axis_x = std::to_string(lead_cells * kCell - 2);
    for (const auto& [text, at] :
         {std::pair{PlotAxisTop(curve), top + 7},
          std::pair{PlotAxisBottom(curve), top + kStrip - 2}}) {
      out.Append("<text class=\"axis\" x=\"" + axis_x + "\" y=\"" +
                 std::to_string(at) +
                 "\" font-size=\"6\" font-family=\"sans-serif\" "
                 "text-anchor=\"end\" fill=\"#666666\">");
      WriteHtmlEscaped(text, out);
      out.Append("</text>");
    }
    out.Append("</g>");
  }
  const int band = static_cast<int>(plot.curves.size()) * kStrip;
  for (const PlotTick& tick : span.ticks) {
    const std::optional<Rgb> rgb = ShownTextColor(tick.color);
    out.Append("<rect class=\"site\" x=\"" + x(tick.first_column) + "\" y=\"" +
               std::to_string(band + 1) + "\" width=\"" +
               width(tick.first_column, tick.last_column) + "\" height=\"" +
               std::to_string(kTicks - 2) + "\" fill=\"" +
               (rgb ? CssColor(*rgb) : std::string("#000000")) + "\"/>");
  }
  out.Append("</svg>");
}

}  // namespace tessarin
