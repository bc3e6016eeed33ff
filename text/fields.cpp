#include "text/fields.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/byte_words.h"
#include "text/strings.h"

namespace tessarin {

DelimiterSet::DelimiterSet(std::string_view delimiters) {
  if (delimiters.empty()) return;
  first_ = delimiters.front();
  for (const char c : delimiters) {
    const auto byte = static_cast<unsigned char>(c);
    if (is_[byte]) continue;
    is_[byte] = true;
    if (byte_count_ < bytes_.size()) bytes_[byte_count_] = byte;
    ++byte_count_;
  }
}

bool DelimiterSet::MayHold(std::uint64_t word) const {
  if (byte_count_ > bytes_.size()) return true;
  for (std::size_t k = 0; k < byte_count_; ++k) {
    if (HasByte(word, bytes_[k])) return true;
  }
  return false;
}

NormalizedSpan NormalizeDelimitersTo(const char* from, std::size_t size,
                                     char* to, const DelimiterSet& set) {
  if (set.Empty()) {
    if (to != from) std::memmove(to, from, size);
    return {size, 0};
  }
  // One pass: every delimiter is written as First(), but kept only when the
  // byte before it was no delimiter, so leading delimiters and all but the
  // first of a run are dropped; a trailing one is taken back at the end.
  // Each byte kept stands for at least one byte read, so writing never
  // overtakes reading.
  const char first = set.First();
  std::size_t out = 0;
  std::size_t separators = 0;
  bool after_delimiter = true;
  auto step = [&](char c) {
    const bool delimiter = set.Has(c);
    to[out] = delimiter ? first : c;
    const bool keep = !(delimiter && after_delimiter);
    out += keep ? 1 : 0;
    separators += delimiter && keep ? 1 : 0;
    after_delimiter = delimiter;
  };
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    // Eight bytes without a delimiter are kept at once (fields are often
    // long); a word that may hold one is taken byte by byte, so that short
    // fields cost one word test per eight bytes.
    std::uint64_t word;
    std::memcpy(&word, from + i, 8);
    if (!set.MayHold(word)) {
      std::memcpy(to + out, &word, 8);
      out += 8;
      after_delimiter = false;
      continue;
    }
    for (std::size_t k = 0; k < 8; ++k) step(from[i + k]);
  }
  for (; i < size; ++i) step(from[i]);
  if (after_delimiter && out > 0) {
    --out;
    --separators;
  }
  return {out, out == 0 ? 0 : separators + 1};
}

std::size_t NormalizeDelimitersInPlace(std::string& text,
                                       std::string_view delimiters) {
  if (text.empty() || delimiters.empty()) return 0;
  const NormalizedSpan normal = NormalizeDelimitersTo(
      text.data(), text.size(), text.data(), DelimiterSet(delimiters));
  text.resize(normal.length);
  return normal.fields;
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
