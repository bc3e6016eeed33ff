#include "app/rich_view_widget.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/line_cells.h"
#include "app/workspace.h"
#include "view/colors.h"

namespace tessarin {

namespace {

constexpr int kFontPixelSize = 15;
constexpr const char* kFontFamily = "Courier New";
constexpr int kCaretWidth = 1;
// Cells kept in sight to the right of the caret when scrolling to it.
constexpr std::uint64_t kCaretMargin = 2;
// The column ruler: its numbers' size and its ticks' length; a number
// stands every kRulerStep columns, as in the figures.
constexpr int kRulerFontPixels = 10;
constexpr int kRulerTickHeight = 3;
// How often a drag held past an edge scrolls one step further.
constexpr int kAutoScrollMilliseconds = 40;

QColor ToQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// The slot in the font table of an appearance's styles: bold 1, italic 2,
// underline 4, strike-out 8.
std::size_t FontSlot(const Appearance& shown) {
  return (shown.bold ? 1U : 0U) | (shown.italic ? 2U : 0U) |
         (shown.underline ? 4U : 0U) | (shown.strike_out ? 8U : 0U);
}

QFont BaseFont() {
  QFont font(kFontFamily);
  font.setPixelSize(kFontPixelSize);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setKerning(false);
  return font;
}

// Scroll bar values are ints; views never come near that many lines or
// cells, but the arithmetic must not wrap if one does.
int ClampToInt(std::uint64_t value) {
  return static_cast<int>(std::min<std::uint64_t>(
      value, static_cast<std::uint64_t>(std::numeric_limits<int>::max())));
}

std::uint64_t FloorToCount(double value) {
  return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

}  // namespace

// The strip above the rows that numbers the alignment's columns.
class ColumnRuler : public QWidget {
 public:
  explicit ColumnRuler(RichViewWidget& view) : QWidget(&view), view_(view) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    view_.PaintRuler(painter, *this);
  }

 private:
  const RichViewWidget& view_;
};

RichViewWidget::RichViewWidget(RichView& view, QWidget* parent)
    : QAbstractScrollArea(parent), view_(view) {
  SetFonts(BaseFont());
  ruler_ = new ColumnRuler(*this);
  ruler_->setObjectName(QStringLiteral("Ruler1"));
  QFont ruler_font = font();
  ruler_font.setPixelSize(kRulerFontPixels);
  ruler_->setFont(ruler_font);
  ruler_height_ = QFontMetrics(ruler_font).height() + kRulerTickHeight;
  setViewportMargins(0, ruler_height_, 0, 0);
  autoscroll_ = new QTimer(this);
  autoscroll_->setInterval(kAutoScrollMilliseconds);
  connect(autoscroll_, &QTimer::timeout, this, &RichViewWidget::AutoScroll);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  ModelChanged();
}

int RichViewWidget::TextPixels() const { return font().pixelSize(); }

void RichViewWidget::SetTextPixels(int pixels) {
  QFont base = BaseFont();
  base.setPixelSize(std::clamp(pixels, kMinTextPixels, kMaxTextPixels));
  if (base.pixelSize() == TextPixels()) return;
  SetFonts(base);
  ModelChanged();
}

void RichViewWidget::SetFonts(const QFont& base) {
  setFont(base);
  const QFontMetrics metrics(base);
  cell_width_ = std::max(
      1, qRound(QFontMetricsF(base).horizontalAdvance(QLatin1Char('M'))));
  line_height_ = std::max(1, metrics.lineSpacing());
  ascent_ = metrics.ascent();
  // Every style must advance exactly one cell per character, or bold and
  // italic runs would drift off the column grid.
  for (std::size_t slot = 0; slot < fonts_.size(); ++slot) {
    QFont font = base;
    font.setBold((slot & 1U) != 0);
    font.setItalic((slot & 2U) != 0);
    font.setUnderline((slot & 4U) != 0);
    font.setStrikeOut((slot & 8U) != 0);
    const qreal advance =
        QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    if (advance != cell_width_) {
      font.setLetterSpacing(QFont::AbsoluteSpacing, cell_width_ - advance);
    }
    fonts_[slot] = font;
  }
}

void RichViewWidget::ModelChanged() {
  first_tab_stop_ = tessarin::FirstTabStop([this](auto&& visit) {
    for (std::size_t i = 0; i < view_.LineCount(); ++i) visit(view_.Line(i));
  });
  widest_line_cells_ = 0;
  for (std::size_t i = 0; i < view_.LineCount(); ++i) {
    widest_line_cells_ = std::max(
        widest_line_cells_, LineCells(view_.Line(i), first_tab_stop_).Width());
  }
  anchor_ = view_.SelStart();
  position_ = view_.SelStart() + view_.SelLength();
  goal_cell_.reset();
  UpdateScrollRanges();
  viewport()->update();
  ruler_->update();
}

void RichViewWidget::ShowModelSelection() {
  anchor_ = view_.SelStart();
  position_ = view_.SelStart() + view_.SelLength();
  goal_cell_.reset();
  EnsureVisible(position_);
  EnsureVisible(anchor_);
  viewport()->update();
}

// Events end here: a failure must not unwind through the toolkit. A failed
// paint is not told, as every repaint would fail and tell it again.
template <typename Handle>
bool RichViewWidget::Guarded(const QEvent* event, Handle&& handle) {
  try {
    return handle();
  } catch (const std::exception& error) {
    if (event->type() != QEvent::Paint) emit Failed(FailureText(error));
    return true;
  }
}

bool RichViewWidget::event(QEvent* event) {
  // The caret is drawn only while the view has the focus.
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    viewport()->update();
  }
  return Guarded(event, [&] { return QAbstractScrollArea::event(event); });
}

bool RichViewWidget::viewportEvent(QEvent* event) {
  return Guarded(event,
                 [&] { return QAbstractScrollArea::viewportEvent(event); });
}

int RichViewWidget::VisibleLines() const {
  return std::max(1, viewport()->height() / line_height_);
}

int RichViewWidget::VisibleCells() const {
  return std::max(1, viewport()->width() / cell_width_);
}

void RichViewWidget::UpdateScrollRanges() {
  const int lines = VisibleLines();
  const int cells = VisibleCells();
  verticalScrollBar()->setRange(
      0, std::max(0, ClampToInt(view_.LineCount()) - lines));
  verticalScrollBar()->setPageStep(lines);
  verticalScrollBar()->setSingleStep(1);
  // One cell more than the widest line: the caret may stand after its end.
  horizontalScrollBar()->setRange(
      0, std::max(0, ClampToInt(widest_line_cells_ + 1) - cells));
  horizontalScrollBar()->setPageStep(cells);
  horizontalScrollBar()->setSingleStep(1);
}

std::uint64_t RichViewWidget::LastCaretIndex() const {
  const std::size_t count = view_.LineCount();
  if (count == 0) return 0;
  return view_.LineStartOf(count - 1) + view_.Line(count - 1).size();
}

QPoint RichViewWidget::PointOfIndex(std::uint64_t index) const {
  const std::size_t line = view_.LineOfIndex(index);
  const std::uint64_t offset = index - std::min(index, view_.LineStartOf(line));
  const std::uint64_t cell =
      LineCells(view_.Line(line), first_tab_stop_).CellOf(offset);
  const auto x =
      static_cast<std::int64_t>(cell) - horizontalScrollBar()->value();
  const auto y = static_cast<std::int64_t>(line) - verticalScrollBar()->value();
  return QPoint(static_cast<int>(x * cell_width_),
                static_cast<int>(y * line_height_));
}

std::uint64_t RichViewWidget::IndexInLine(std::size_t line, double cell) const {
  return view_.LineStartOf(line) +
         LineCells(view_.Line(line), first_tab_stop_).OffsetNearest(cell);
}

std::uint64_t RichViewWidget::IndexAt(QPoint point) const {
  const std::size_t count = view_.LineCount();
  if (count == 0) return 0;
  const std::int64_t row = static_cast<std::int64_t>(std::floor(
                               static_cast<double>(point.y()) / line_height_)) +
                           verticalScrollBar()->value();
  const auto line = static_cast<std::size_t>(
      std::clamp<std::int64_t>(row, 0, static_cast<std::int64_t>(count) - 1));
  const double unscrolled = static_cast<double>(point.x()) / cell_width_;
  // The frozen names answer for themselves.
  const bool on_names =
      point.x() >= 0 && unscrolled < static_cast<double>(FrozenCells());
  const double cell =
      unscrolled + (on_names ? 0 : horizontalScrollBar()->value());
  return IndexInLine(line, cell);
}

void RichViewWidget::SetAnchorAndPosition(std::uint64_t anchor,
                                          std::uint64_t position) {
  const std::uint64_t last = LastCaretIndex();
  anchor_ = std::min(anchor, last);
  position_ = std::min(position, last);
  const std::uint64_t start = std::min(anchor_, position_);
  view_.SetSelection(start, std::max(anchor_, position_) - start);
  viewport()->update();
  emit SelectionChanged();
}

void RichViewWidget::MoveTo(std::uint64_t index, bool extend) {
  SetAnchorAndPosition(extend ? anchor_ : index, index);
}

void RichViewWidget::SelectAll() {
  goal_cell_.reset();
  SetAnchorAndPosition(0, LastCaretIndex());
}

std::string RichViewWidget::SelectedText() const {
  const std::string_view text = view_.Text();
  const std::uint64_t start = std::min(view_.SelStart(), view_.TextLength());
  const std::uint64_t length =
      std::min(view_.SelLength(), view_.TextLength() - start);
  return std::string(text.substr(start, length));
}

void RichViewWidget::Copy() const {
  const std::string text = SelectedText();
  if (text.empty()) return;
  QGuiApplication::clipboard()->setText(
      QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void RichViewWidget::MoveLines(std::int64_t lines, bool extend) {
  const std::size_t count = view_.LineCount();
  if (count == 0) return MoveTo(0, extend);
  const std::size_t line = view_.LineOfIndex(position_);
  if (!goal_cell_) {
    goal_cell_ =
        static_cast<double>(LineCells(view_.Line(line), first_tab_stop_)
                                .CellOf(position_ - view_.LineStartOf(line)));
  }
  const std::int64_t target =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(line) + lines, 0,
                               static_cast<std::int64_t>(count) - 1);
  MoveTo(IndexInLine(static_cast<std::size_t>(target), *goal_cell_), extend);
}

void RichViewWidget::EnsureVisible(std::uint64_t index) {
  const std::size_t line = view_.LineOfIndex(index);
  const std::uint64_t cell =
      LineCells(view_.Line(line), first_tab_stop_)
          .CellOf(index - std::min(index, view_.LineStartOf(line)));
  QScrollBar* vertical = verticalScrollBar();
  const int row = ClampToInt(line);
  if (row < vertical->value()) vertical->setValue(row);
  if (row >= vertical->value() + VisibleLines()) {
    vertical->setValue(row - VisibleLines() + 1);
  }
  QScrollBar* horizontal = horizontalScrollBar();
  const int column = ClampToInt(cell);
  // A name's own cells show in the frozen column; others must stand right
  // of it.
  const int names = ClampToInt(first_tab_stop_);
  if (column >= names && horizontal->value() > 0 &&
      column < horizontal->value() + names) {
    horizontal->setValue(std::max(0, column - names));
  }
  if (column < horizontal->value() && column < names) {
    horizontal->setValue(0);
  }
  if (column + static_cast<int>(kCaretMargin) >
      horizontal->value() + VisibleCells()) {
    horizontal->setValue(column + static_cast<int>(kCaretMargin) -
                         VisibleCells());
  }
}

bool RichViewWidget::Selected(std::uint64_t index) const {
  return index >= view_.SelStart() &&
         index - view_.SelStart() < view_.SelLength();
}

std::uint64_t RichViewWidget::FrozenCells() const {
  return horizontalScrollBar()->value() > 0 ? first_tab_stop_ : 0;
}

void RichViewWidget::PaintFrozenNames(QPainter& painter,
                                      std::uint64_t first_row,
                                      std::uint64_t last_row) {
  const std::uint64_t frozen = FrozenCells();
  if (frozen == 0) return;
  // The names' cells as they stand unscrolled, over what scrolled under them.
  const int width =
      ClampToInt(frozen * static_cast<std::uint64_t>(cell_width_));
  painter.save();
  painter.setClipRect(QRect(0, 0, width, viewport()->height()));
  painter.fillRect(QRect(0, 0, width, viewport()->height()),
                   palette().color(QPalette::Base));
  painter.translate(horizontalScrollBar()->value() * cell_width_, 0);
  const std::uint64_t top = FloorToCount(verticalScrollBar()->value());
  for (std::uint64_t row = first_row; row <= last_row; ++row) {
    const std::uint64_t line = top + row;
    if (line >= view_.LineCount()) break;
    PaintLine(painter, static_cast<std::size_t>(line),
              static_cast<int>(row) * line_height_, 0, frozen);
  }
  painter.restore();
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(width - 1, 0, width - 1, viewport()->height());
}

int RichViewWidget::XOfCell(std::uint64_t cell) const {
  const auto left = static_cast<std::int64_t>(horizontalScrollBar()->value());
  return static_cast<int>((static_cast<std::int64_t>(cell) - left) *
                          cell_width_);
}

// The selection's colours cover the character's own.
RichViewWidget::RunLook RichViewWidget::LookOf(std::uint32_t id,
                                               bool in_selection) const {
  const CharAttributes& attributes = view_.AttributesOfId(id);
  const Appearance shown =
      ResolveAppearance(attributes.color, attributes.back, attributes.style);
  RunLook look{std::nullopt, palette().color(QPalette::Text),
               &fonts_[FontSlot(shown)]};
  if (in_selection) {
    look.back = palette().color(QPalette::Highlight);
    look.text = palette().color(QPalette::HighlightedText);
    return look;
  }
  if (shown.back) look.back = ToQColor(*shown.back);
  if (shown.text) look.text = ToQColor(*shown.text);
  return look;
}

void RichViewWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect dirty = event->rect();
  painter.fillRect(dirty, palette().color(QPalette::Base));
  const std::uint64_t top = FloorToCount(verticalScrollBar()->value());
  const std::uint64_t left = FloorToCount(horizontalScrollBar()->value());
  const std::uint64_t first_row = FloorToCount(dirty.top() / line_height_);
  const std::uint64_t last_row = FloorToCount(dirty.bottom() / line_height_);
  const std::uint64_t first_cell =
      left + FloorToCount(dirty.left() / cell_width_);
  const std::uint64_t end_cell =
      left + FloorToCount(dirty.right() / cell_width_) + 1;
  for (std::uint64_t row = first_row; row <= last_row; ++row) {
    const std::uint64_t line = top + row;
    if (line >= view_.LineCount()) break;
    PaintLine(painter, static_cast<std::size_t>(line),
              static_cast<int>(row) * line_height_, first_cell, end_cell);
  }
  PaintFrozenNames(painter, first_row, last_row);
  if (hasFocus() && view_.SelLength() == 0) {
    const QPoint caret =
        PointOfIndex(std::min(view_.SelStart(), LastCaretIndex()));
    painter.fillRect(QRect(caret, QSize(kCaretWidth, line_height_)),
                     palette().color(QPalette::Text));
  }
}

// Draws the characters of `line` that cover cells first_cell to end_cell - 1
// in runs of equal attributes and selection state; a tab is its own run.
void RichViewWidget::PaintLine(QPainter& painter, std::size_t line, int y,
                               std::uint64_t first_cell,
                               std::uint64_t end_cell) const {
  const std::string_view text = view_.Line(line);
  const std::uint64_t line_start = view_.LineStartOf(line);
  const LineCells cells(text, first_tab_stop_);
  std::uint64_t offset = cells.OffsetAtCell(first_cell);
  std::uint64_t cell = cells.CellOf(offset);
  bool first_tab = text.find('\t') >= offset;
  while (offset < text.size() && cell < end_cell) {
    const std::uint32_t id = view_.AttributeId(line_start + offset);
    const bool in_selection = Selected(line_start + offset);
    const RunLook look = LookOf(id, in_selection);
    const bool tab = text[offset] == '\t';
    std::uint64_t run_end = offset + 1;
    while (!tab && run_end < text.size() && text[run_end] != '\t' &&
           cell + (run_end - offset) < end_cell &&
           view_.AttributeId(line_start + run_end) == id &&
           Selected(line_start + run_end) == in_selection) {
      ++run_end;
    }
    const std::uint64_t run_cell_end =
        tab ? cells.TabEnd(cell, first_tab) : cell + (run_end - offset);
    first_tab = first_tab && !tab;
    const int x = XOfCell(cell);
    if (look.back) {
      painter.fillRect(QRect(x, y, XOfCell(run_cell_end) - x, line_height_),
                       *look.back);
    }
    if (!tab) {
      painter.setPen(look.text);
      painter.setFont(*look.font);
      painter.drawText(
          x, y + ascent_,
          QString::fromLatin1(text.data() + offset,
                              static_cast<qsizetype>(run_end - offset)));
    }
    cell = run_cell_end;
    offset = run_end;
  }
  // A selected line end is shown as one highlighted cell after the text.
  const std::uint64_t end_of_line = cells.Width();
  if (Selected(line_start + text.size()) && end_of_line >= first_cell &&
      end_of_line < end_cell) {
    painter.fillRect(QRect(XOfCell(end_of_line), y, cell_width_, line_height_),
                     palette().color(QPalette::Highlight));
  }
}

void RichViewWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRanges();
  PlaceHeader();
}

void RichViewWidget::SetHeader(QWidget* header, int height) {
  header_ = header;
  header_height_ = header != nullptr ? std::max(0, height) : 0;
  if (header_ != nullptr) {
    header_->setParent(this);
    header_->setVisible(header_height_ > 0);
  }
  setViewportMargins(0, header_height_ + ruler_height_, 0, 0);
  PlaceHeader();
  UpdateScrollRanges();
}

void RichViewWidget::PlaceHeader() {
  const QRect rows = viewport()->geometry();
  // The ruler right above the rows, the header above it.
  ruler_->setGeometry(rows.x(), rows.y() - ruler_height_, rows.width(),
                      ruler_height_);
  ruler_->update();
  if (header_ == nullptr || header_height_ == 0) return;
  header_->setGeometry(rows.x(), rows.y() - ruler_height_ - header_height_,
                       rows.width(), header_height_);
  header_->update();
}

void RichViewWidget::PaintRuler(QPainter& painter, const QWidget& ruler) const {
  painter.fillRect(ruler.rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  const std::uint64_t columns = widest_line_cells_ > first_tab_stop_
                                    ? widest_line_cells_ - first_tab_stop_
                                    : 0;
  if (first_tab_stop_ == 0 || columns == 0) return;
  // Columns under the frozen names are not in sight.
  const int left =
      ClampToInt(FrozenCells() * static_cast<std::uint64_t>(cell_width_));
  const std::uint64_t first = std::max<std::uint64_t>(1, ColumnAtX(left));
  const std::uint64_t last =
      std::min<std::uint64_t>(columns, ColumnAtX(ruler.width()) + 1);
  const int bottom = ruler.height() - 1;
  for (std::uint64_t column = first; column <= last; ++column) {
    if (column % kRulerStep != 0 && column != 1) continue;
    const int x = ColumnX(column) + cell_width_ / 2;
    if (x < left) continue;
    painter.drawLine(x, bottom - kRulerTickHeight, x, bottom);
    const QString number = QString::number(column);
    painter.drawText(
        x - painter.fontMetrics().horizontalAdvance(number) / 2,
        bottom - kRulerTickHeight - painter.fontMetrics().descent(), number);
  }
}

int RichViewWidget::ColumnX(std::uint64_t column) const {
  const auto cell = static_cast<std::int64_t>(first_tab_stop_ + column) - 1 -
                    horizontalScrollBar()->value();
  return static_cast<int>(std::clamp<std::int64_t>(
      cell * cell_width_, std::numeric_limits<int>::min() / 2,
      std::numeric_limits<int>::max() / 2));
}

std::uint64_t RichViewWidget::ColumnAtX(int x) const {
  const std::int64_t cell =
      static_cast<std::int64_t>(horizontalScrollBar()->value()) +
      (x < 0 ? -1 : x / cell_width_);
  const std::int64_t column =
      cell - static_cast<std::int64_t>(first_tab_stop_) + 1;
  return column < 1 ? 0 : static_cast<std::uint64_t>(column);
}

void RichViewWidget::ScrollToColumn(std::uint64_t column) {
  const std::int64_t cell =
      static_cast<std::int64_t>(first_tab_stop_ + column) - 1 -
      VisibleCells() / 3;
  horizontalScrollBar()->setValue(
      ClampToInt(static_cast<std::uint64_t>(std::max<std::int64_t>(cell, 0))));
}

void RichViewWidget::scrollContentsBy(int, int) {
  viewport()->update();
  ruler_->update();
}

void RichViewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return QAbstractScrollArea::mousePressEvent(event);
  }
  goal_cell_.reset();
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
  MoveTo(IndexAt(event->position().toPoint()), extend);
}

void RichViewWidget::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0) {
    return QAbstractScrollArea::mouseMoveEvent(event);
  }
  drag_point_ = event->position().toPoint();
  // Held past an edge, the drag goes on scrolling without further moves.
  if (viewport()->rect().contains(drag_point_)) {
    autoscroll_->stop();
  } else if (!autoscroll_->isActive()) {
    autoscroll_->start();
  }
  const std::uint64_t index = IndexAt(drag_point_);
  if (index == position_) return;
  MoveTo(index, true);
  // Dragging past an edge scrolls the view along.
  EnsureVisible(index);
}

void RichViewWidget::AutoScroll() {
  // A timer's call, outside the guarded events: a failure ends the drag.
  try {
    const std::uint64_t index = IndexAt(drag_point_);
    if (index == position_) return;
    MoveTo(index, true);
    EnsureVisible(index);
  } catch (const std::exception& error) {
    autoscroll_->stop();
    emit Failed(FailureText(error));
  }
}

void RichViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  // The selection is complete when the button goes up; nothing to change.
  if (event->button() == Qt::LeftButton) {
    autoscroll_->stop();
    return event->accept();
  }
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void RichViewWidget::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) return SelectAll();
  if (event->matches(QKeySequence::Copy)) return Copy();
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
  const bool whole_text = (event->modifiers() & Qt::ControlModifier) != 0;
  const std::size_t line = view_.LineOfIndex(position_);
  switch (event->key()) {
    case Qt::Key_Up:
      MoveLines(-1, extend);
      break;
    case Qt::Key_Down:
      MoveLines(1, extend);
      break;
    case Qt::Key_PageUp:
      MoveLines(-VisibleLines(), extend);
      break;
    case Qt::Key_PageDown:
      MoveLines(VisibleLines(), extend);
      break;
    case Qt::Key_Left:
      goal_cell_.reset();
      MoveTo(position_ > 0 ? position_ - 1 : 0, extend);
      break;
    case Qt::Key_Right:
      goal_cell_.reset();
      MoveTo(position_ + 1, extend);
      break;
    case Qt::Key_Home:
      goal_cell_.reset();
      MoveTo(whole_text ? 0 : view_.LineStartOf(line), extend);
      break;
    case Qt::Key_End:
      goal_cell_.reset();
      MoveTo(whole_text ? LastCaretIndex()
                        : view_.LineStartOf(line) + view_.Line(line).size(),
             extend);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  EnsureVisible(position_);
}

}  // namespace tessarin
