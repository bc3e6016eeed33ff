// The conservation plot above the view: one strip per score (the chosen
// criteria in colour, the others grey), each a step curve with its cut-off
// line over the shaded passing windows, and the sites as ticks along the
// bottom. It sits in the view widget's header, so its columns stand over
// the view's and it scrolls sideways with them. Hovering tells the column
// and each score's value there; a click scrolls the view to the column;
// dragging the bottom edge sets the height.
#ifndef TESSARIN_APP_PLOT_PANEL_H_
#define TESSARIN_APP_PLOT_PANEL_H_

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "view/conservation_plot.h"

namespace tessarin {

class RichViewWidget;

class PlotPanel : public QWidget {
  Q_OBJECT

 public:
  // `view` must outlive the panel; the panel becomes its header when shown.
  explicit PlotPanel(RichViewWidget& view);

  // Shows `plot` (copied); an empty plot clears the panel.
  void SetPlot(ConservationPlot plot);
  void Clear() { SetPlot({}); }
  // Shows or hides the panel above the view.
  void Show(bool shown);
  bool Shown() const { return shown_; }
  // The panel's height while shown.
  void SetPanelHeight(int height);
  int PanelHeight() const { return height_; }

  // The text a hover at `column` shows: the column and each score's value
  // there ("N/A" where the curve has a gap).
  std::string HoverText(std::uint64_t column) const;
  // The first alignment column the panel shows, as the view is scrolled.
  std::uint64_t FirstVisibleColumn() const;

  // Told when a column is clicked.
  std::function<void(std::uint64_t column)> on_column_clicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void PaintStrip(QPainter& painter, const PlotCurveSpan& shown,
                  QRect strip) const;
  void PaintTicks(QPainter& painter, QRect band,
                  const std::vector<PlotTick>& ticks) const;

  RichViewWidget& view_;
  ConservationPlot plot_;
  bool shown_ = false;
  int height_ = 96;
  std::optional<int> resize_from_;  // the press y while the edge is dragged
};

}  // namespace tessarin

#endif  // TESSARIN_APP_PLOT_PANEL_H_
