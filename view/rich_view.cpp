#include "view/rich_view.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace tessarin {

namespace {

// a + b, held at the largest value instead of wrapping round: a start that
// would wrap past the end of the index range selects nothing rather than
// characters near the beginning.
std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t sum = a + b;
  return sum < a ? std::numeric_limits<std::uint64_t>::max() : sum;
}

CharAttributes Changed(CharAttributes attributes,
                       const AttributeChange& change) {
  switch (change.kind) {
    case AttributeChange::Kind::kSetColor:
      attributes.color = change.value;
      break;
    case AttributeChange::Kind::kSetBackColor:
      attributes.back = change.value;
      break;
    case AttributeChange::Kind::kSetStyle:
      attributes.style =
          static_cast<std::uint8_t>(change.value) & kFontStyleMask;
      break;
    case AttributeChange::Kind::kAddStyle:
      attributes.style |=
          static_cast<std::uint8_t>(change.value) & kFontStyleMask;
      break;
  }
  return attributes;
}

}  // namespace

std::size_t RichView::AttributesHash::operator()(
    const CharAttributes& attributes) const {
  // Presence flags and style in the top bits keep unset apart from 0.
  const std::uint64_t color = attributes.color.value_or(0);
  const std::uint64_t back = attributes.back.value_or(0);
  const std::uint64_t tag = (attributes.color ? 1u : 0u) |
                            (attributes.back ? 2u : 0u) |
                            (std::uint64_t{attributes.style} << 2);
  std::uint64_t h = color * 0x9E3779B97F4A7C15ULL;
  h ^= (back + 0x632BE59BD9B4E019ULL) * 0xC2B2AE3D27D4EB4FULL;
  h ^= tag * 0x165667B19E3779F9ULL;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

RichView::RichView() { Intern(CharAttributes{}); }

void RichView::AppendLine(std::string_view text) { AppendLine({}, text); }

void RichView::AppendLine(std::string_view prefix, std::string_view text) {
  line_starts_.push_back(text_.size());
  text_.append(prefix);
  text_.append(text);
  text_.push_back('\n');
  ids_.Append(prefix.size() + text.size() + 1, 0);
}

void RichView::Reserve(std::uint64_t characters) {
  text_.reserve(text_.size() + characters);
}

void RichView::Clear() {
  // The text and the line starts keep their room: the next view (the
  // annotation after the listing, or the next Annotate) is about as long,
  // and writing into pages already held costs no fresh pages.
  text_.clear();
  line_starts_.clear();
  ids_.Clear();
  change_memo_.fill({});
  change_table_.valid = false;
  table_.clear();
  lookup_.clear();
  Intern(CharAttributes{});
  const bool moved = sel_start_ != 0 || sel_length_ != 0;
  sel_start_ = 0;
  sel_length_ = 0;
  if (moved) NotifySelectionChanged();
}

std::string_view RichView::Line(std::size_t i) const {
  if (i >= line_starts_.size()) return {};
  const std::uint64_t start = line_starts_[i];
  const std::uint64_t end = i + 1 < line_starts_.size()
                                ? line_starts_[i + 1]
                                : static_cast<std::uint64_t>(text_.size());
  return std::string_view(text_).substr(start, end - start - 1);
}

std::uint64_t RichView::LineStartOf(std::size_t line) const {
  if (line >= line_starts_.size()) return text_.size();
  return line_starts_[line];
}

std::size_t RichView::LineOfIndex(std::uint64_t index) const {
  if (line_starts_.empty()) return 0;
  // The last line start not after index; line_starts_[0] is 0.
  const auto after =
      std::upper_bound(line_starts_.begin(), line_starts_.end(), index);
  return static_cast<std::size_t>(after - line_starts_.begin()) - 1;
}

void RichView::SetSelStart(std::uint64_t start) {
  sel_start_ = start;
  NotifySelectionChanged();
}

void RichView::SetSelLength(std::uint64_t length) {
  sel_length_ = length;
  NotifySelectionChanged();
}

void RichView::SetSelection(std::uint64_t start, std::uint64_t length) {
  sel_start_ = start;
  sel_length_ = length;
  NotifySelectionChanged();
}

void RichView::SetSelectionChangeHandler(std::function<void()> handler) {
  on_selection_change_ = std::move(handler);
}

void RichView::NotifySelectionChanged() {
  if (on_selection_change_) on_selection_change_();
}

void RichView::ApplyToSelection(const AttributeChange& change) {
  const std::uint64_t size = ids_.size();
  if (sel_length_ == 0 || sel_start_ >= size) return;
  const std::uint64_t end =
      sel_start_ + std::min(sel_length_, size - sel_start_);
  if (end - sel_start_ >= ChangeTable::kWorthFrom) {
    ids_.TransformByTable(
        sel_start_, end, TableFor(change).new_id,
        [&](std::uint32_t old_id) { return ChangedId(old_id, change); });
    return;
  }
  // Ranges are mostly uniform (a site, a window), so remembering the last
  // mapping skips nearly every lookup.
  std::uint32_t last_old = ids_.Get(sel_start_);
  std::uint32_t last_new = ChangedId(last_old, change);
  ids_.Transform(sel_start_, end, [&](std::uint32_t old_id) {
    if (old_id != last_old) {
      last_old = old_id;
      last_new = ChangedId(old_id, change);
    }
    return last_new;
  });
}

RichView::ChangeTable& RichView::TableFor(const AttributeChange& change) {
  ChangeTable& table = change_table_;
  if (!table.valid || table.kind != change.kind ||
      table.value != change.value) {
    table.new_id.fill(AttributeIdArray::kUnknownId);
    table.valid = true;
    table.kind = change.kind;
    table.value = change.value;
  }
  return table;
}

std::uint32_t RichView::ChangedId(std::uint32_t id,
                                  const AttributeChange& change) {
  // Annotation applies the same few changes to the same few combinations
  // over and over (one letter at a time for bold and strike-out), so the
  // answers are memoised in a small direct-mapped table before the
  // combination table is consulted.
  const std::size_t slot = (id * 0x9E3779B1u ^ change.value * 0x85EBCA77u ^
                            static_cast<std::uint32_t>(change.kind)) %
                           kChangeMemoSize;
  ChangeMemo& memo = change_memo_[slot];
  if (memo.valid && memo.old_id == id && memo.kind == change.kind &&
      memo.value == change.value) {
    return memo.new_id;
  }
  const std::uint32_t new_id = Intern(Changed(table_[id], change));
  memo = {true, id, change.kind, change.value, new_id};
  return new_id;
}

std::uint64_t RichView::AttributeRunEnd(std::uint64_t index,
                                        std::uint64_t limit) const {
  if (index >= ids_.size()) return std::max(index, limit);
  return ids_.RunEnd(index, limit);
}

const CharAttributes& RichView::Attributes(std::uint64_t index) const {
  return table_[AttributeId(index)];
}

std::uint32_t RichView::AttributeId(std::uint64_t index) const {
  return index < ids_.size() ? ids_.Get(index) : 0;
}

std::uint32_t RichView::Intern(const CharAttributes& attributes) {
  const auto found = lookup_.find(attributes);
  if (found != lookup_.end()) return found->second;
  // Every id names a combination some character was given, so the table can
  // outgrow 32 bits only after billions of distinct changes; refuse rather
  // than let ids wrap onto other combinations.
  if (table_.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("RichView: too many attribute combinations");
  }
  const auto id = static_cast<std::uint32_t>(table_.size());
  table_.push_back(attributes);
  lookup_.emplace(attributes, id);
  return id;
}

std::vector<std::uint32_t> UsedAttributeIds(const RichView& view) {
  std::vector<bool> seen(view.AttributeIdCount(), false);
  seen[0] = true;
  std::vector<std::uint32_t> used;
  for (std::size_t line = 0; line < view.LineCount(); ++line) {
    ForEachAttributeRun(view, line,
                        [&](std::uint64_t, std::uint64_t, std::uint32_t id) {
                          if (seen[id]) return;
                          seen[id] = true;
                          used.push_back(id);
                        });
  }
  return used;
}

std::uint64_t LineStart(const RichView& view, std::size_t line) {
  return view.LineStartOf(line);
}

std::size_t LineOfChar(const RichView& view, std::uint64_t index) {
  return view.LineOfIndex(index);
}

void SelectLineRange(RichView& view, std::size_t line, std::uint64_t column,
                     std::uint64_t length) {
  view.SetSelStart(SaturatingAdd(LineStart(view, line), column));
  view.SetSelLength(length);
}

void SetSelColor(RichView& view, std::uint32_t color) {
  view.ApplyToSelection({AttributeChange::Kind::kSetColor, color});
}

void SetSelStyle(RichView& view, std::uint8_t style) {
  view.ApplyToSelection({AttributeChange::Kind::kSetStyle, style});
}

void AddSelStyle(RichView& view, std::uint8_t style) {
  view.ApplyToSelection({AttributeChange::Kind::kAddStyle, style});
}

void SetSelBackColor(RichView& view, std::uint32_t color) {
  view.ApplyToSelection({AttributeChange::Kind::kSetBackColor, color});
}

namespace {

// The steps every range operation shares: keep the selection, select the
// range, change it, and put the selection back (start first, then length).
void ApplyToRange(RichView& view, std::size_t line, std::uint64_t column,
                  std::uint64_t length, const AttributeChange& change) {
  const std::uint64_t kept_start = view.SelStart();
  const std::uint64_t kept_length = view.SelLength();
  SelectLineRange(view, line, column, length);
  view.ApplyToSelection(change);
  view.SetSelStart(kept_start);
  view.SetSelLength(kept_length);
}

}  // namespace

void SetRangeColor(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint32_t color) {
  ApplyToRange(view, line, column, length,
               {AttributeChange::Kind::kSetColor, color});
}

void SetRangeStyle(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint8_t style) {
  ApplyToRange(view, line, column, length,
               {AttributeChange::Kind::kSetStyle, style});
}

void AddRangeStyle(RichView& view, std::size_t line, std::uint64_t column,
                   std::uint64_t length, std::uint8_t style) {
  ApplyToRange(view, line, column, length,
               {AttributeChange::Kind::kAddStyle, style});
}

void SetRangeBackColor(RichView& view, std::size_t line, std::uint64_t column,
                       std::uint64_t length, std::uint32_t color) {
  ApplyToRange(view, line, column, length,
               {AttributeChange::Kind::kSetBackColor, color});
}

}  // namespace tessarin
