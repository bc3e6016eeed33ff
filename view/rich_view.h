// The annotated view as a document model: lines of bytes in which every
// character carries a text colour, a background colour and a font style set,
// plus a selection with a change notice. The window draws it and the writers
// turn it into documents; neither keeps a second copy of the text.
#ifndef TESSARIN_VIEW_RICH_VIEW_H_
#define TESSARIN_VIEW_RICH_VIEW_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "view/attribute_id_array.h"

namespace tessarin {

// Font style bits of a character; a style set is their union.
inline constexpr std::uint8_t kFontBold = 1;
inline constexpr std::uint8_t kFontItalic = 2;
inline constexpr std::uint8_t kFontUnderline = 4;
inline constexpr std::uint8_t kFontStrikeOut = 8;
inline constexpr std::uint8_t kFontStyleMask = 15;

// What one character looks like. Colours are kept exactly as given; the
// colour rule (view/colors.h) is applied only when drawing or writing.
struct CharAttributes {
  std::optional<std::uint32_t> color;  // unset: the automatic text colour
  std::optional<std::uint32_t> back;   // unset: no background
  std::uint8_t style = 0;              // kFont* bits

  bool IsDefault() const { return !color && !back && style == 0; }
  bool operator==(const CharAttributes&) const = default;
};

// One change applied to every character of the selection.
struct AttributeChange {
  enum class Kind { kSetColor, kSetBackColor, kSetStyle, kAddStyle };
  Kind kind;
  std::uint32_t value;  // a colour value, or a style set in the low 4 bits
};

// Character indices count every byte of every line and one character for
// each line end, the last line's included:
//   LineStart(i + 1) = LineStart(i) + Line(i).size() + 1.
// The text is one string (each line followed by '\n') and each character has
// an id into a table of the distinct attribute combinations in use (id 0 =
// default). Ids are kept per block of characters: nothing per character
// where a block is uniform (plain text, label tracks), else one byte while
// the table has at most 256 combinations, widening to 2 or 4 bytes per
// block only when its ids need it. So the model costs 1 to 2 bytes per
// character. A combination stays in the table until Clear(), even when no
// character uses it any more.
//
// Not thread-safe; only the window's thread uses it.
class RichView {
 public:
  RichView();
  RichView(const RichView&) = delete;
  RichView& operator=(const RichView&) = delete;

  // Appends a line after the last one, stored exactly and with default
  // attributes (its line end too). A '\n' inside `text` is kept as an
  // ordinary character of the line; it does not start a new line. Amortised
  // cost O(text.size()).
  void AppendLine(std::string_view text);
  // AppendLine of `prefix` followed by `text`, without joining them first.
  void AppendLine(std::string_view prefix, std::string_view text);

  // Makes room for `characters` more characters (line ends included), so
  // that appending them copies the text no more. Reserved room that is never
  // used costs address space, not memory.
  void Reserve(std::uint64_t characters);

  // Removes every line (the view then has zero lines, and the next appended
  // line is line 0) and the attribute table, and puts the caret at 0. The
  // room the text had is kept for the next one. The change notice fires
  // when this moves the selection.
  void Clear();

  std::size_t LineCount() const { return line_starts_.size(); }

  // Line i without its line end; empty for i >= LineCount().
  std::string_view Line(std::size_t i) const;

  // The whole text, each line followed by '\n'; its size is TextLength().
  std::string_view Text() const { return text_; }
  std::uint64_t TextLength() const { return text_.size(); }

  // The character index of line i's first character; TextLength() for a
  // line at or beyond LineCount(). O(1).
  std::uint64_t LineStartOf(std::size_t line) const;

  // The line holding character `index`; an index at or beyond the text's
  // end belongs to the last line (0 for a view without lines).
  // O(log LineCount()).
  std::size_t LineOfIndex(std::uint64_t index) const;

  // The selection is kept exactly as set, even when it lies partly or wholly
  // beyond the text; operations on it touch only characters that exist.
  std::uint64_t SelStart() const { return sel_start_; }
  std::uint64_t SelLength() const { return sel_length_; }
  // Each setter gives one change notice, whether or not the value changed.
  // SetSelStart keeps the length.
  void SetSelStart(std::uint64_t start);
  void SetSelLength(std::uint64_t length);
  void SetSelection(std::uint64_t start, std::uint64_t length);

  // Called after every selection change. The handler may read the view; it
  // must not change the view or its selection.
  void SetSelectionChangeHandler(std::function<void()> handler);

  // Applies `change` to each existing character of the selection (line ends
  // included). For kAddStyle each character keeps its own styles and gains
  // the given ones. Cost O(selected characters).
  void ApplyToSelection(const AttributeChange& change);

  // The attributes of character `index` (default beyond the text). The
  // reference stays valid until the view's attributes next change.
  const CharAttributes& Attributes(std::uint64_t index) const;

  // Attribute ids, for writers that walk the text: equal ids mean equal
  // attributes and id 0 is the default. Ids stay valid until Clear().
  std::uint32_t AttributeId(std::uint64_t index) const;
  // The end of the run of characters from `index` on that share its
  // attribute id, looking no further than `limit`. Beyond the text every
  // character has id 0, so the run then reaches `limit`. Cheaper than
  // comparing AttributeId character by character: unformatted stretches are
  // skipped whole.
  std::uint64_t AttributeRunEnd(std::uint64_t index, std::uint64_t limit) const;
  const CharAttributes& AttributesOfId(std::uint32_t id) const {
    return table_[id];
  }
  std::size_t AttributeIdCount() const { return table_.size(); }

 private:
  struct AttributesHash {
    std::size_t operator()(const CharAttributes& attributes) const;
  };

  // The id of `attributes`, adding it to the table if it is new.
  std::uint32_t Intern(const CharAttributes& attributes);
  // The id of the combination `id` becomes under `change`.
  std::uint32_t ChangedId(std::uint32_t id, const AttributeChange& change);

  struct ChangeMemo {
    bool valid = false;
    std::uint32_t old_id = 0;
    AttributeChange::Kind kind = AttributeChange::Kind::kSetColor;
    std::uint32_t value = 0;
    std::uint32_t new_id = 0;
  };
  static constexpr std::size_t kChangeMemoSize = 64;
  // What one change makes of each id below 256, found as needed. A long
  // range (a highlighted window across a row) is mostly such ids, and a
  // look-up per character costs less than the memo's checks. It stays valid
  // until Clear(), since ids do.
  struct ChangeTable {
    static constexpr std::uint64_t kWorthFrom = 1024;  // characters
    bool valid = false;
    AttributeChange::Kind kind = AttributeChange::Kind::kSetColor;
    std::uint32_t value = 0;
    AttributeIdArray::ByteIdTable new_id{};
  };
  // The table for `change`, made afresh when it was another change's.
  ChangeTable& TableFor(const AttributeChange& change);
  void NotifySelectionChanged();

  std::string text_;
  std::vector<std::uint64_t> line_starts_;
  AttributeIdArray ids_;
  std::vector<CharAttributes> table_;
  std::unordered_map<CharAttributes, std::uint32_t, AttributesHash> lookup_;
  std::array<ChangeMemo, kChangeMemoSize> change_memo_{};
  ChangeTable change_table_;
  std::uint64_t sel_start_ = 0;
  std::uint64_t sel_length_ = 0;
  std::function<void()> on_selection_change_;
};

// Calls run(column, length, id) for each maximal run of equal attribute ids
// among the characters `from` to `to` - 1 of line `line` (clipped to the
// line), in column order. Cost O(to - from).
template <typename RunFunction>
void ForEachAttributeRunIn(const RichView& view, std::size_t line,
                           std::uint64_t from, std::uint64_t to,
                           RunFunction&& run) {
  const std::uint64_t start = view.LineStartOf(line);
  const std::uint64_t length = view.Line(line).size();
  std::uint64_t column = from;
  const std::uint64_t end_column = to < length ? to : length;
  while (column < end_column) {
    const std::uint32_t id = view.AttributeId(start + column);
    const std::uint64_t end =
        view.AttributeRunEnd(start + column, start + end_column) - start;
    run(column, end - column, id);
    column = end;
  }
}

// ForEachAttributeRunIn over the whole of line `line`; the line end is not
// part of any run. Cost O(line length).
template <typename RunFunction>
void ForEachAttributeRun(const RichView& view, std::size_t line,
                         RunFunction&& run) {
  ForEachAttributeRunIn(view, line, 0, view.Line(line).size(),
                        std::forward<RunFunction>(run));
}

// The attribute ids that characters of the lines use (line ends not
// counted), in order of first use, without the default id 0. Writers build
// their colour tables and styles from it. Cost O(text length).
std::vector<std::uint32_t> UsedAttributeIds(const RichView& view);

// The character index of the line's first character; the length of the
// whole text for a line beyond the last.
std::uint64_t LineStart(const RichView& view, std::size_t line);

// The line that holds character `index`; an index beyond the text belongs to
// the last line.
std::size_t LineOfChar(const RichView& view, std::uint64_t index);

// Selects `length` characters from LineStart(line) + column. Nothing is
// clamped: a column beyond the line's end selects what follows the line end,
// and a long length runs on into the following lines. Two change notices
// (start, then length).
void SelectLineRange(RichView& view, std::size_t line, std::uint64_t column,
                     std::uint64_t length);

// Selection operations: each changes the existing characters of the current
// selection only. Colours are stored exactly as given.
void SetSelColor(RichView& view, std::uint32_t color);
// Bold, italic, underline and strike-out become exactly the members of
// `style`; other bits are ignored.
void SetSelStyle(RichView& view, std::uint8_t style);
// Every selected character keeps its own styles and gains those of `style`.
void AddSelStyle(RichView& view, std::uint8_t style);
void SetSelBackColor(RichView& view, std::uint32_t color);

// Range operations: select the line-relative range, apply the matching
// selection operation, then set the selection start and then the length back
// to what they were (four change notices in all). A length of 0 changes
// nothing. Cost O(length + log LineCount()).
void SetRangeColor(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint32_t color);
void SetRangeStyle(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint8_t style);
void AddRangeStyle(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint8_t style);
void SetRangeBackColor(RichView& view, std::size_t line, std::uint64_t column,
                       std::uint64_t length, std::uint32_t color);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_RICH_VIEW_H_
