#include "app/anchors.h"

#include <QWidget>
#include <algorithm>

namespace tessarin {

namespace {

// One axis: the start and length of a control along it.
struct Span {
  int start;
  int length;
};

// `design_start` and `design_length` place the control in a parent of
// `design_extent`; `length` is its current length.
Span PlaceAxis(int design_start, int design_length, int length, bool near_edge,
               bool far_edge, int design_extent, int extent) {
  const int far_margin = design_extent - design_start - design_length;
  if (near_edge && far_edge) {
    return {design_start, std::max(0, extent - design_start - far_margin)};
  }
  if (far_edge) return {extent - far_margin - length, length};
  return {design_start, length};
}

}  // namespace

void AnchorLayout::Add(QWidget* widget, Anchors anchors, QSize design_size) {
  entries_.push_back({widget, anchors, widget->geometry(), design_size});
}

void AnchorLayout::Apply(QSize size) const {
  for (const Entry& entry : entries_) {
    const QSize current = entry.widget->size();
    const Span x =
        PlaceAxis(entry.design.x(), entry.design.width(), current.width(),
                  entry.anchors.left, entry.anchors.right,
                  entry.design_size.width(), size.width());
    const Span y =
        PlaceAxis(entry.design.y(), entry.design.height(), current.height(),
                  entry.anchors.top, entry.anchors.bottom,
                  entry.design_size.height(), size.height());
    entry.widget->setGeometry(x.start, y.start, x.length, y.length);
  }
}

}  // namespace tessarin
