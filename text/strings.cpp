#include "text/strings.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>

namespace tessarin {

namespace {

// Patterns up to this length are searched directly.
constexpr std::size_t kShortPattern = 32;

// Membership table for a character set; only the first 255 characters count.
std::array<bool, 256> SetTable(std::string_view set) {
  std::array<bool, 256> table{};
  const std::size_t n = std::min<std::size_t>(set.size(), 255);
  for (std::size_t i = 0; i < n; ++i) {
    table[static_cast<unsigned char>(set[i])] = true;
  }
  return table;
}

}  // namespace

void FillBytes(AByte& buffer, std::uint8_t value, std::size_t count) {
  std::fill_n(buffer.begin(), std::min(count, buffer.size()), value);
}

std::string FilterChars(bool remove_mode, std::string_view text,
                        std::string_view set) {
  const std::array<bool, 256> in_set = SetTable(set);
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == '\0') continue;
    if (in_set[static_cast<unsigned char>(c)] != remove_mode) result += c;
  }
  return result;
}

std::size_t PosCharFrom(char ch, std::string_view text, std::size_t start) {
  if (start == 0) start = 1;
  if (start > text.size()) return 0;
  const std::size_t found = text.find(ch, start - 1);
  return found == std::string_view::npos ? 0 : found + 1;
}

std::size_t CountChar(char ch, std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), ch));
}

std::size_t PosFrom(std::string_view text, std::string_view sub,
                    std::size_t start) {
  if (text.empty() || sub.empty() || sub.size() > text.size()) return 0;
  if (start == 0) start = 1;
  const std::size_t last_candidate = text.size() - sub.size() + 1;
  if (start > last_candidate) return 0;
  // Keys are short: a plain search costs at most the text's length times the
  // key's. A long pattern gets a searcher, which keeps the search linear.
  const std::string_view rest = text.substr(start - 1);
  std::size_t found = std::string_view::npos;
  if (sub.size() <= kShortPattern) {
    found = rest.find(sub);
  } else {
    const auto it =
        std::search(rest.begin(), rest.end(),
                    std::boyer_moore_horspool_searcher(sub.begin(), sub.end()));
    if (it != rest.end()) found = static_cast<std::size_t>(it - rest.begin());
  }
  return found == std::string_view::npos ? 0 : start + found;
}

SplitResult SplitAtChar(std::string_view text, char ch) {
  const std::size_t p = PosCharFrom(ch, text, 1);
  if (p == 0) return {};
  return {true, std::string(text.substr(0, p - 1)),
          std::string(text.substr(p))};
}

std::string ReplaceCharsOf(std::string_view text, char ch,
                           std::string_view set) {
  const std::array<bool, 256> in_set = SetTable(set);
  std::string result(text);
  for (char& c : result) {
    if (in_set[static_cast<unsigned char>(c)]) c = ch;
  }
  return result;
}

std::string CollapseRuns(std::string_view text, char ch) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == ch && !result.empty() && result.back() == ch) continue;
    result += c;
  }
  return result;
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  // Branch-free, so that the compiler turns it into vector code: a lower-case
  // letter loses the 0x20 bit, every other byte stays.
  for (char& c : result) {
    const auto byte = static_cast<unsigned char>(c);
    const bool lower = static_cast<unsigned char>(byte - 'a') < 26;
    c = static_cast<char>(byte ^ (lower ? 0x20 : 0));
  }
  return result;
}

std::string CopyRange(std::string_view text, std::int64_t from,
                      std::int64_t to) {
  if (text.empty() || to < from) return "";
  // The count is taken from the arguments as given; only then is a start
  // below 1 moved to 1.
  // to >= from, so the difference fits in 64 unsigned bits; one more may
  // not, and is then as many as any text holds.
  const std::uint64_t difference =
      static_cast<std::uint64_t>(to) - static_cast<std::uint64_t>(from);
  const std::uint64_t count =
      difference == std::numeric_limits<std::uint64_t>::max() ? difference
                                                              : difference + 1;
  const std::int64_t start = std::max<std::int64_t>(from, 1);
  const auto length = static_cast<std::int64_t>(text.size());
  if (start > length) return "";
  const auto available = static_cast<std::uint64_t>(length - start + 1);
  return std::string(
      text.substr(static_cast<std::size_t>(start - 1),
                  static_cast<std::size_t>(std::min(count, available))));
}

void OverwriteAt(std::string& target, std::size_t pos,
                 std::string_view source) {
  if (source.empty()) return;
  if (pos == 0) pos = 1;
  if (pos > target.size() + 1) pos = target.size() + 1;
  const std::size_t end = pos - 1 + source.size();
  if (end > target.size()) target.resize(end);
  std::copy(source.begin(), source.end(),
            target.begin() + static_cast<std::ptrdiff_t>(pos - 1));
}

std::string RepeatChar(char ch, std::size_t n) { return std::string(n, ch); }

bool IsRunOf(std::string_view text, char ch, std::size_t start,
             std::size_t count) {
  if (count == 0) count = 1;
  if (start == 0) return false;
  if (count > text.size() || start > text.size() - count + 1) return false;
  const std::string_view run = text.substr(start - 1, count);
  return std::all_of(run.begin(), run.end(), [ch](char c) { return c == ch; });
}

bool IsUpperLetter(char ch) { return ch >= 'A' && ch <= 'Z'; }

UpperRun FindUpperRun(std::string_view text) {
  const auto first = std::find_if(text.begin(), text.end(), IsUpperLetter);
  if (first == text.end()) return {};
  const auto after = std::find_if_not(first, text.end(), IsUpperLetter);
  return {static_cast<std::size_t>(first - text.begin()) + 1,
          static_cast<std::size_t>(after - first)};
}

}  // namespace tessarin
