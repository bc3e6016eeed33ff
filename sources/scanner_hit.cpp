#include "sources/scanner_hit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/numbers.h"

namespace tessarin {

std::size_t CountTabFields(std::string_view line) {
  return static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) +
         1;
}

std::vector<std::string_view> SplitTabs(std::string_view line,
                                        std::size_t limit) {
  std::vector<std::string_view> fields;
  while (fields.size() < limit) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) break;
    line.remove_prefix(tab + 1);
  }
  return fields;
}

std::vector<std::string_view> SplitBlanks(std::string_view line,
                                          std::size_t limit) {
  std::vector<std::string_view> fields;
  constexpr std::string_view kBlanks = " \t";
  for (std::size_t at = line.find_first_not_of(kBlanks);
       at != std::string_view::npos && fields.size() < limit;
       at = line.find_first_not_of(kBlanks, at)) {
    const std::size_t end = line.find_first_of(kBlanks, at);
    fields.push_back(line.substr(at, end - at));
    if (end == std::string_view::npos) break;
    at = end;
  }
  return fields;
}

std::optional<std::int64_t> ParseWhole(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::optional<double> ParseValue(std::string_view text,
                                 std::string_view missing) {
  if (text == missing) return kNoValue;
  const std::optional<long double> value = ParseReal(text);
  if (!value || std::fabs(*value) > std::numeric_limits<double>::max()) {
    return std::nullopt;
  }
  return static_cast<double>(*value);
}

std::string ColumnCountProblem(std::string_view expected, std::size_t found) {
  return "expected " + std::string(expected) + " columns, found " +
         std::to_string(found);
}

}  // namespace tessarin
