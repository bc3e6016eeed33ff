// The layout of a row of the view. Every sequence row and every annotation
// track row is the row prefix, "name> " and a tab, followed by one character
// per alignment column: column c (1-based) of a row whose prefix has length
// P stands at the 0-based character offset P + c - 1 of its line.
#ifndef TESSARIN_VIEW_ROW_LAYOUT_H_
#define TESSARIN_VIEW_ROW_LAYOUT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin {

// What follows the sequence's name in the row prefix.
inline constexpr std::string_view kRowPrefixEnd = "> \t";

// "name> <tab>" for a sequence named `seq_name`.
std::string RowPrefix(std::string_view seq_name);

// The length of RowPrefix(seq_name), without making it.
inline std::size_t RowPrefixLength(std::string_view seq_name) {
  return seq_name.size() + kRowPrefixEnd.size();
}

// The character offset in its line of column `column` (1-based).
inline std::uint64_t ColumnOffset(std::size_t prefix_length,
                                  std::uint64_t column) {
  return prefix_length + column - 1;
}

// The column (1-based) at character offset `offset` of a line, or nothing
// when the offset lies in the prefix.
inline std::optional<std::uint64_t> ColumnAt(std::size_t prefix_length,
                                             std::uint64_t offset) {
  if (offset < prefix_length) return std::nullopt;
  return offset - prefix_length + 1;
}

// Tab stops after the first tab of a line are kTabCells apart.
inline constexpr std::uint64_t kTabCells = 8;

// The tab stop that every row's first tab reaches, so that column 1 of every
// sequence and track row stands at one place whatever the lengths of the
// names: the smallest multiple of kTabCells greater than the number of
// characters before the first tab of any line that has one (0 when no line
// has a tab). The window and the documents all use it. `for_each_line` calls
// its argument with every line. Cost O(total length of the text before the
// first tabs).
template <typename ForEachLine>
std::uint64_t FirstTabStop(ForEachLine&& for_each_line) {
  std::uint64_t longest_prefix = 0;
  bool any_tab = false;
  for_each_line([&](std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return;
    any_tab = true;
    if (tab > longest_prefix) longest_prefix = tab;
  });
  if (!any_tab) return 0;
  return (longest_prefix / kTabCells + 1) * kTabCells;
}

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ROW_LAYOUT_H_
