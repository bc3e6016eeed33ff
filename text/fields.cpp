#include "text/fields.h"

#include <algorithm>

#include "text/strings.h"

namespace tessarin {

NormalizedLine NormalizeDelimiters(std::string_view text,
                                   std::string_view delimiters) {
  if (text.empty() || delimiters.empty()) return {std::string(text), 0};
  const char d = delimiters.front();
  std::string normal = CollapseRuns(ReplaceCharsOf(text, d, delimiters), d);
  std::size_t k = CountChar(d, normal);
  if (k > 0 && normal.back() == d) {
    normal.pop_back();
    --k;
  }
  if (k > 0 && normal.front() == d) {
    normal.erase(0, 1);
    --k;
  }
  std::size_t fields = k > 0 ? k + 1 : (normal.empty() ? 0 : 1);
  return {std::move(normal), fields};
}

AString SplitByChar(std::string_view text, char ch) {
  AString fields;
  if (text.empty()) return fields;
  fields.reserve(CountChar(ch, text) + 1);
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = text.find(ch, begin);
    if (end == std::string_view::npos) break;
    fields.emplace_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  fields.emplace_back(text.substr(begin));
  return fields;
}

AAString SplitColumns(const AString& lines, std::size_t from, std::size_t to,
                      char ch, std::size_t max_columns) {
  AAString columns;
  if (lines.empty() || to >= lines.size() || from > to || max_columns == 0) {
    return columns;
  }
  std::size_t most_delimiters = 0;
  for (std::size_t i = from; i <= to; ++i) {
    most_delimiters = std::max(most_delimiters, CountChar(ch, lines[i]));
  }
  // The table is most_delimiters + 1 wide; only the first max_columns exist.
  const std::size_t width = std::min(most_delimiters, max_columns - 1) + 1;
  columns.assign(width, AString());
  for (AString& column : columns) column.reserve(to - from + 1);
  for (std::size_t i = from; i <= to; ++i) {
    std::string_view rest = lines[i];
    for (AString& column : columns) {
      const std::size_t end = rest.find(ch);
      if (end == std::string_view::npos) {
        // No delimiter left: the last field repeats into every later column.
        column.emplace_back(rest);
        continue;
      }
      column.emplace_back(rest.substr(0, end));
      rest.remove_prefix(end + 1);
    }
  }
  return columns;
}

}  // namespace tessarin
