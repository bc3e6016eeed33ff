// The window's view of a RichView: draws the model's lines on a fixed-pitch
// grid and lets the user scroll, select with mouse and keyboard, and copy.
// The widget keeps no copy of the text or attributes; it reads the model at
// every paint and writes every selection change into it, so the model's
// change notice (the selection inspector) sees the user's selection.
#ifndef TESSARIN_APP_RICH_VIEW_WIDGET_H_
#define TESSARIN_APP_RICH_VIEW_WIDGET_H_

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "view/rich_view.h"

class QTimer;

namespace tessarin {
class ColumnRuler;
}

class QPainter;

namespace tessarin {

// Drawing: "Courier New" at 15 pixels (a metric-compatible face stands in
// where it is missing), no word wrap, both scroll bars always shown. Only
// the rows and columns in sight are drawn, so a view of hundreds of lines of
// tens of thousands of characters scrolls as fast as a small one. Tabs
// follow app/line_cells.h; colours and styles are drawn as ResolveAppearance
// (view/colors.h) gives them, as in the documents. A view without lines is
// drawn as an empty page.
//
// Selection: mouse press and drag, shift+click, arrows, Home/End (with Ctrl:
// the whole text), PageUp/PageDown, shift with any of them to extend,
// select all and copy (line ends copied as "\n"). A selection is kept as an
// anchor and a moving end; the model gets start = the lower end and the
// length, with one change notice per change.
class RichViewWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // `view` must outlive the widget.
  explicit RichViewWidget(RichView& view, QWidget* parent = nullptr);

  // Call after the model's text changed (lines added or removed): takes the
  // selection from the model, updates the scroll ranges and repaints.
  void ModelChanged();

  // Call after the model's selection was set from outside (a row of the
  // site report, say): takes it over and scrolls until both its ends show.
  void ShowModelSelection();

  // Shows `header` above the rows, as wide as they are and `height` pixels
  // tall (0 hides it); the widget takes it as a child. The header follows
  // the view sideways through ColumnX and the horizontal scroll bar.
  void SetHeader(QWidget* header, int height);
  int HeaderHeight() const { return header_height_; }
  // The x, in viewport (and header) coordinates, where alignment column
  // `column` (1-based) begins, with the view scrolled as it is.
  int ColumnX(std::uint64_t column) const;
  // The alignment column at viewport x; 0 left of column 1.
  std::uint64_t ColumnAtX(int x) const;
  // Scrolls sideways until `column` stands a third of the way across.
  void ScrollToColumn(std::uint64_t column);

  // The size of one character cell in pixels.
  QSize CellSize() const { return QSize(cell_width_, line_height_); }
  // The shared stop of the first tab of each line, in cells.
  std::uint64_t FirstTabStop() const { return first_tab_stop_; }
  // The top-left corner, in viewport coordinates, of the cell where
  // character `index` (or the caret before it) stands.
  QPoint PointOfIndex(std::uint64_t index) const;
  // The caret index nearest to a viewport point.
  std::uint64_t IndexAt(QPoint point) const;

  // The text's size in pixels (View > Larger / Smaller Text), kept within
  // kMinTextPixels to kMaxTextPixels; the cells and scroll ranges follow.
  static constexpr int kMinTextPixels = 7;
  static constexpr int kMaxTextPixels = 48;
  int TextPixels() const;
  void SetTextPixels(int pixels);

  // The selection text, line ends as "\n".
  std::string SelectedText() const;
  // Copies the selection to the clipboard; nothing happens for a caret.
  void Copy() const;
  void SelectAll();

 signals:
  // After every selection change the user made.
  void SelectionChanged();
  // Handling a key or mouse event failed (out of memory, say) and was given
  // up, with the text to show. Sent from inside the event: connect it
  // directly and take the text, but show it only after the event.
  void Failed(std::string_view text);

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  friend class ColumnRuler;
  // Numbers every tenth column (and the first) in the ruler above the rows.
  void PaintRuler(QPainter& painter, const QWidget& ruler) const;
  // While a drag selection stands past the viewport's edge: extends it to
  // the cell under the pointer, which scrolls the view one step further.
  void AutoScroll();
  // How many cells of the rows' names stay in sight at the left while the
  // view is scrolled sideways (none while it is not).
  std::uint64_t FrozenCells() const;
  void PaintFrozenNames(QPainter& painter, std::uint64_t first_row,
                        std::uint64_t last_row);
  // The base font and its styled variants, each advancing one cell.
  void SetFonts(const QFont& base);
  // The greatest caret index: the end of the last line.
  std::uint64_t LastCaretIndex() const;
  // Moves the selection's moving end to `index` (clamped); without `extend`
  // the anchor follows. Writes the selection to the model.
  void MoveTo(std::uint64_t index, bool extend);
  void SetAnchorAndPosition(std::uint64_t anchor, std::uint64_t position);
  // The caret index in `line` nearest to x = `cell` (in cells).
  std::uint64_t IndexInLine(std::size_t line, double cell) const;
  // Moves `lines` lines up (negative) or down, keeping the goal column.
  void MoveLines(std::int64_t lines, bool extend);
  void EnsureVisible(std::uint64_t index);
  void UpdateScrollRanges();
  int VisibleLines() const;
  int VisibleCells() const;
  // How a run is drawn: a background fill or none, a pen and a font.
  struct RunLook {
    std::optional<QColor> back;
    QColor text;
    const QFont* font;
  };
  // Whether the character (or line end) at `index` is selected.
  bool Selected(std::uint64_t index) const;
  // The viewport x of the left edge of cell column `cell`.
  int XOfCell(std::uint64_t cell) const;
  RunLook LookOf(std::uint32_t id, bool in_selection) const;
  void PaintLine(QPainter& painter, std::size_t line, int y,
                 std::uint64_t first_cell, std::uint64_t last_cell) const;
  template <typename Handle>
  bool Guarded(const QEvent* event, Handle&& handle);

  RichView& view_;
  std::array<QFont, 16> fonts_;
  QTimer* autoscroll_ = nullptr;
  ColumnRuler* ruler_ = nullptr;
  int ruler_height_ = 0;  // runs while a drag stands past an edge
  QPoint drag_point_;  // where the dragging pointer is  // by FontSlot of the
                       // appearance
  void PlaceHeader();

  QWidget* header_ = nullptr;
  int header_height_ = 0;
  int cell_width_ = 1;
  int line_height_ = 1;
  int ascent_ = 0;
  std::uint64_t first_tab_stop_ = 0;
  std::uint64_t widest_line_cells_ = 0;
  std::uint64_t anchor_ = 0;
  std::uint64_t position_ = 0;
  // The cell column that up/down moves aim for, kept across a run of them.
  std::optional<double> goal_cell_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_RICH_VIEW_WIDGET_H_
