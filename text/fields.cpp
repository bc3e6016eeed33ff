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
  // One pass: leading delimiters are skipped, a run of them inside becomes
  // one First() once the next field begins, and a trailing run is dropped.
  // Each byte written stands for at least one byte read, so writing never
  // overtakes reading.
  std::size_t i = 0;
  while (i < size && set.Has(from[i])) ++i;
  std::size_t out = 0;
  std::size_t separators = 0;
  bool in_run = false;
  while (i < size) {
    // Eight bytes without a delimiter are moved at once: fields are long
    // and delimiters rare.
    if (!in_run) {
      for (std::uint64_t word; i + 8 <= size; i += 8, out += 8) {
        std::memcpy(&word, from + i, 8);
        if (set.MayHold(word)) break;
        std::memcpy(to + out, &word, 8);
      }
      if (i == size) break;
    }
    const char c = from[i++];
    if (set.Has(c)) {
      in_run = true;
      continue;
    }
    if (in_run) {
      to[out++] = set.First();
      ++separators;
      in_run = false;
    }
    to[out++] = c;
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
