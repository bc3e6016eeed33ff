// Edge anchoring for controls placed at fixed positions: a control keeps its
// distance to each parent edge it follows when the parent is resized. A
// control that follows both opposite edges stretches; one that follows only
// the far edge moves; one that follows only the near edge stays. Controls
// that do not stretch keep their current size, so a label that sized itself
// to a new text keeps that size.
#ifndef TESSARIN_APP_ANCHORS_H_
#define TESSARIN_APP_ANCHORS_H_

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tessarin {

struct Anchors {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;
};

class AnchorLayout {
 public:
  // Remembers `widget`'s distances to the edges of a parent of size
  // `design_size`, taken from its current geometry. The widget must outlive
  // the layout.
  void Add(QWidget* widget, Anchors anchors, QSize design_size);

  // Places every widget for a parent of size `size`. Sizes never go below 0.
  void Apply(QSize size) const;

 private:
  struct Entry {
    QWidget* widget;
    Anchors anchors;
    QRect design;
    QSize design_size;
  };
  std::vector<Entry> entries_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_ANCHORS_H_
