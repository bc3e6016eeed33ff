// The conservation plot as the strip above each block of a painted figure:
// a band per score with the block's passing windows shaded, the score's
// curve, its cut-off dashed and its name, then the sites as bars in their
// factor's colour. PDF, PNG, print and SVG draw it alike.
#ifndef TESSARIN_RENDER_PLOT_STRIP_H_
#define TESSARIN_RENDER_PLOT_STRIP_H_

#include "render/figure_painter.h"
#include "view/conservation_plot.h"

namespace tessarin {

class PlotStrip : public BlockStrip {
 public:
  // `plot` must outlive the strip.
  explicit PlotStrip(const ConservationPlot& plot) : plot_(plot) {}

  double Height(const FigureBlock& block,
                const FigureMetrics& metrics) const override;
  void Paint(QPainter& painter, const FigureBlock& block,
             const FigureMetrics& metrics, double left,
             double top) const override;
  // Writes <g class="plot"> holding per score a <g class="strip"> with a
  // rect.conserved per passing span, a path.curve, a line.cutoff and a
  // text.label; then a rect.site per site.
  void WriteSvg(QXmlStreamWriter& svg, const FigureBlock& block,
                const FigureMetrics& metrics, double left,
                double top) const override;

 private:
  const ConservationPlot& plot_;
};

}  // namespace tessarin

#endif  // TESSARIN_RENDER_PLOT_STRIP_H_
