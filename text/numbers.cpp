#include "text/numbers.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tessarin {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view SkipSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view()
                                         : text.substr(first);
}

// Length of a hexadecimal prefix at the start of `text` ("$", "x", "X",
// "0x", "0X"), or 0.
std::size_t HexPrefixLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return 1;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return 2;
  return 0;
}

std::optional<std::uint64_t> ParseHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int v = HexValue(c);
    if (v < 0 || value > (std::numeric_limits<std::uint64_t>::max() >> 4)) {
      return std::nullopt;
    }
    value = (value << 4) | static_cast<std::uint64_t>(v);
  }
  return value;
}

// Decimal digits up to `limit`.
std::optional<std::uint64_t> ParseDecimalDigits(std::string_view digits,
                                                std::uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    const auto d = static_cast<std::uint64_t>(c - '0');
    if (value > (limit - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  return value;
}

// The value of a well-formed decimal number (sign, digits with at most one
// point, optional exponent) when it can be computed exactly the way strtold
// would round it: at most 19 significant digits (an integer that long double
// holds exactly) scaled by a power of ten up to 10^27 (also exact, since
// 5^27 < 2^64). One IEEE multiplication or division of two exact values is
// correctly rounded, which is what strtold gives. Nothing otherwise, and the
// caller asks strtold. Score tables hold millions of such numbers.
std::optional<long double> QuickDecimal(std::string_view text) {
  static_assert(std::numeric_limits<long double>::digits >= 64 ||
                    std::numeric_limits<long double>::digits == 53,
                "long double layout not covered");
  constexpr int kMaxDigits =
      std::numeric_limits<long double>::digits >= 64 ? 19 : 15;
  constexpr int kMaxPower =
      std::numeric_limits<long double>::digits >= 64 ? 27 : 22;  // 5^22 < 2^53
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
  std::uint64_t digits = 0;
  int significant = 0;
  int exponent = 0;
  bool after_point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      after_point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (digits == 0 && c == '0') {
      if (after_point) --exponent;  // leading zeros only shift the point
      continue;
    }
    if (++significant > kMaxDigits) return std::nullopt;
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    if (after_point) --exponent;
  }
  if (i < text.size()) {  // 'e' or 'E', sign and digits: checked by the caller
    ++i;
    bool minus = false;
    if (text[i] == '+' || text[i] == '-') minus = text[i++] == '-';
    int power = 0;
    for (; i < text.size(); ++i) {
      power = power * 10 + (text[i] - '0');
      if (power > 1000) return std::nullopt;
    }
    exponent += minus ? -power : power;
  }
  long double value = static_cast<long double>(digits);
  if (digits != 0) {
    if (exponent > kMaxPower || exponent < -kMaxPower) return std::nullopt;
    long double scale = 1.0L;
    for (int k = 0; k < (exponent < 0 ? -exponent : exponent); ++k) {
      scale *= 10.0L;
    }
    value = exponent < 0 ? value / scale : value * scale;
  }
  return negative ? -value : value;
}

// A "C" locale of our own, so that conversions never see the process's
// locale (a decimal comma there must not change how "0.5" reads).
locale_t ClassicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

}  // namespace

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  text = SkipSpaces(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (const std::size_t prefix = HexPrefixLength(text); prefix > 0) {
    const auto pattern = ParseHexDigits(text.substr(prefix));
    if (!pattern) return std::nullopt;
    const std::uint64_t bits = negative ? (~*pattern + 1) : *pattern;
    return static_cast<std::int64_t>(bits);
  }
  constexpr auto kMaxPositive =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  const auto magnitude =
      ParseDecimalDigits(text, negative ? kMaxPositive + 1 : kMaxPositive);
  if (!magnitude) return std::nullopt;
  const std::uint64_t bits = negative ? (~*magnitude + 1) : *magnitude;
  return static_cast<std::int64_t>(bits);
}

std::optional<long double> ParseReal(std::string_view text) {
  text = SkipSpaces(text);
  const std::string_view number = text;  // sign included, for strtold
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const bool negative = i > 0 && text[0] == '-';
  std::size_t mantissa_digits = 0;
  bool has_point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      ++mantissa_digits;
    } else if (text[i] == '.' && !has_point) {
      has_point = true;
    } else {
      break;
    }
  }
  if (mantissa_digits == 0 && !has_point) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      ++exponent_digits;
    }
    if (exponent_digits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  // "." and ".e5" have no digit at all: they are zero.
  if (mantissa_digits == 0) return negative ? -0.0L : 0.0L;

  if (const std::optional<long double> quick = QuickDecimal(number)) {
    return quick;
  }
  const std::string copy(number);
  errno = 0;
  char* end = nullptr;
  const long double value = strtold_l(copy.c_str(), &end, ClassicLocale());
  if (end != copy.c_str() + copy.size() || std::isinf(value) ||
      std::isnan(value)) {
    return std::nullopt;
  }
  return value;
}

std::string IntToText(std::uint32_t value) { return std::to_string(value); }

std::string RealToText(long double value, int width, int decimals) {
  if (decimals < 0) decimals = 0;
  std::string text;
  if (std::isnan(value) || std::isinf(value)) {
    text = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  } else if (std::fabs(value) >= 1e36L) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, 17);
    text.assign(buffer, result.ptr);
    // "1.00000000000000000e+36" -> "1.00000000000000000E+36"
    for (char& c : text) {
      if (c == 'e') c = 'E';
    }
  } else {
    // 18 significant digits, in scientific form: d.ddddddddddddddddde±X.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                      std::chars_format::scientific, 17);
    const std::string_view sci(buffer,
                               static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = sci.find('e');
    std::string digits;  // the 18 significant digits
    for (char c : sci.substr(0, e)) {
      if (IsDigit(c)) digits += c;
    }
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0),
                    sci.data() + sci.size(), exponent);
    // The value is 0.digits * 10^(exponent + 1). Keep the digits that lie
    // at or before the last decimal; round half away from zero on the next.
    const int integer_digits = exponent + 1;  // may be <= 0
    const int keep = integer_digits + decimals;
    std::string kept;  // digits of value * 10^decimals, rounded
    if (keep < 0) {
      kept = "0";
    } else {
      kept = digits.substr(
          0, static_cast<std::size_t>(std::min<int>(keep, digits.size())));
      kept.append(static_cast<std::size_t>(
                      std::max<int>(0, keep - static_cast<int>(digits.size()))),
                  '0');
      const bool round_up = keep < static_cast<int>(digits.size()) &&
                            digits[static_cast<std::size_t>(keep)] >= '5';
      if (kept.empty()) kept = "0";
      if (round_up) {
        int k = static_cast<int>(kept.size()) - 1;
        while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') {
          kept[static_cast<std::size_t>(k)] = '0';
          --k;
        }
        if (k < 0) {
          kept.insert(kept.begin(), '1');
        } else {
          ++kept[static_cast<std::size_t>(k)];
        }
      }
    }
    // Split the scaled digits into integer part and decimals.
    if (kept.size() < static_cast<std::size_t>(decimals) + 1) {
      kept.insert(0, static_cast<std::size_t>(decimals) + 1 - kept.size(), '0');
    }
    const std::size_t point = kept.size() - static_cast<std::size_t>(decimals);
    std::string integer_part = kept.substr(0, point);
    const std::size_t nonzero = integer_part.find_first_not_of('0');
    integer_part =
        nonzero == std::string::npos ? "0" : integer_part.substr(nonzero);
    text = integer_part;
    if (decimals > 0) text += "." + kept.substr(point);
    const bool all_zero = kept.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !all_zero) text.insert(text.begin(), '-');
  }
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

std::size_t TextsToInts(const AString& texts, ADWord& values) {
  values.assign(texts.size(), 0);
  std::size_t failures = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto value = ParseInteger(texts[i]);
    if (!value) {
      ++failures;
      continue;
    }
    values[i] = static_cast<std::uint32_t>(static_cast<std::uint64_t>(*value));
  }
  return failures;
}

std::size_t TextsToReals(const AString& texts, AExt& values) {
  values.assign(texts.size(), 0.0L);
  std::size_t failures = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto value = ParseReal(texts[i]);
    if (!value) {
      ++failures;
      continue;
    }
    values[i] = *value;
  }
  return failures;
}

}  // namespace tessarin
