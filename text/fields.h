// Normalising the delimiters of a line, splitting it into fields, and cutting
// a range of lines into a column-major table.
#ifndef TESSARIN_TEXT_FIELDS_H_
#define TESSARIN_TEXT_FIELDS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "text/arrays.h"

namespace tessarin {

// The delimiter set the readers use: a blank and a tab.
inline constexpr std::string_view kBlankDelimiters = " \t";

struct NormalizedLine {
  std::string text;        // fields separated by exactly one delimiter
  std::size_t fields = 0;  // the number of non-empty fields
};

// Every character of `delimiters` becomes its first character d, runs of d
// collapse to one, and a leading and a trailing d are removed.
// Example: "  a\t\tb  c " with " \t" gives "a b c" and 3.
NormalizedLine NormalizeDelimiters(std::string_view text,
                                   std::string_view delimiters);
// The same, done to `text` in place (no allocation); returns the number of
// fields.
std::size_t NormalizeDelimitersInPlace(std::string& text,
                                       std::string_view delimiters);

// A set of delimiters made ready once for normalising many lines.
class DelimiterSet {
 public:
  explicit DelimiterSet(std::string_view delimiters);

  bool Empty() const { return first_ == std::nullopt; }
  bool Has(char c) const { return is_[static_cast<unsigned char>(c)]; }
  char First() const { return *first_; }
  // Whether one of the eight bytes of `word` may be a delimiter (never
  // false when one is).
  bool MayHold(std::uint64_t word) const;

 private:
  std::array<bool, 256> is_{};
  std::optional<char> first_;
  std::array<std::uint8_t, 4> bytes_{};
  std::size_t byte_count_ = 0;  // more than 4: every word may hold one
};

// NormalizeDelimiters of the `size` bytes at `from`, written to `to`, which
// is `from` or lies before it (writing never overtakes reading). Returns
// the normal form's length and its number of fields. With no delimiter at
// all the bytes are moved as they are and the count is 0.
struct NormalizedSpan {
  std::size_t length = 0;
  std::size_t fields = 0;
};
NormalizedSpan NormalizeDelimitersTo(const char* from, std::size_t size,
                                     char* to, const DelimiterSet& set);

// The fields between the ch of `text`: "a,b,,c," gives "a", "b", "", "c", "";
// the empty text gives no field at all.
AString SplitByChar(std::string_view text, char ch);

// Cuts lines[from..to] into fields at ch and returns the table column by
// column (column j holds field j of every line, in order). The table is as
// wide as the line with the most ch; a line with fewer fields repeats its last
// field into the missing columns. Empty when lines is empty, to is not an
// index of it, or from > to.
//
// Only the first `max_columns` columns are built: callers that use four
// columns of a table whose widest row has a million fields pay for four.
// The result therefore has min(width, max_columns) columns.
AAString SplitColumns(
    const AString& lines, std::size_t from, std::size_t to, char ch,
    std::size_t max_columns = std::numeric_limits<std::size_t>::max());

}  // namespace tessarin

#endif  // TESSARIN_TEXT_FIELDS_H_
