#include "text/fields.h"

#include <algorithm>
#include <array>

#include "text/strings.h"

namespace tessarin {

std::size_t NormalizeDelimitersInPlace(std::string& text,
                                       std::string_view delimiters) {
  if (text.empty() || delimiters.empty()) return 0;
  const char d = delimiters.front();
  std::array<bool, 256> is_delimiter{};
  for (const char c : delimiters)
    is_delimiter[static_cast<unsigned char>(c)] = true;
  // One pass: each delimiter becomes d and a run of them one d. The result
  // is never longer than the text, so it is written over it.
  std::size_t out = 0;
  std::size_t k = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (is_delimiter[static_cast<unsigned char>(c)]) {
      if (out > 0 && text[out - 1] == d) continue;
      c = d;
      ++k;
    }
    text[out++] = c;
  }
  text.resize(out);
  if (k > 0 && text.back() == d) {
    text.pop_back();
    --k;
  }
  if (k > 0 && text.front() == d) {
    text.erase(0, 1);
    --k;
  }
  return k > 0 ? k + 1 : (text.empty() ? 0 : 1);
}

NormalizedLine NormalizeDelimiters(std::string_view text,
                                   std::string_view delimiters) {
  std::string normal(text);
  const std::size_t fields = NormalizeDelimitersInPlace(normal, delimiters);
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
