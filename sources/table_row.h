// Walking the fields of a table row in place, as both annotation readers
// read their tables: without cutting the row into strings.
#ifndef TESSARIN_SOURCES_TABLE_ROW_H_
#define TESSARIN_SOURCES_TABLE_ROW_H_

#include <string_view>

namespace tessarin {

// The field of `rest` before its first `separator`. `rest` moves past the
// field and the separator; when no separator is left, `rest` keeps its last
// field, so that walking on repeats it into every further column, as
// SplitColumns fills a short row.
inline std::string_view NextField(std::string_view& rest, char separator) {
  const std::size_t end = rest.find(separator);
  const std::string_view field = rest.substr(0, end);
  if (end != std::string_view::npos) rest.remove_prefix(end + 1);
  return field;
}

// Field `column` (from 0) of `row`, filled as NextField fills it.
inline std::string_view FieldAt(std::string_view row, std::size_t column,
                                char separator) {
  for (std::size_t k = 0; k < column; ++k) NextField(row, separator);
  return NextField(row, separator);
}

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_TABLE_ROW_H_
