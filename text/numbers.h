// Turning texts into numbers and numbers into texts. These rules hold
// wherever the system reads or shows a number; none depends on the C locale
// ("." is always the decimal separator).
#ifndef TESSARIN_TEXT_NUMBERS_H_
#define TESSARIN_TEXT_NUMBERS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/arrays.h"

namespace tessarin {

// The integer rule: leading spaces (the space character only), an optional
// "+" or "-", then decimal digits or a hexadecimal prefix ("$", "x", "X",
// "0x", "0X") and hexadecimal digits of either case; nothing may follow.
// Decimal values must fit in a signed 64-bit integer; a hexadecimal value is
// a 64-bit pattern (leading zeros do not count) that "-" negates.
// Returns nothing when the text breaks the rule.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// The real rule: leading spaces, an optional sign, digits with an optional
// "." (digits may be missing on either side: "." is 0, "5." is 5), then an
// optional exponent ("e" or "E", optional sign, at least one digit); nothing
// may follow. "e5" fails (no digit or "." before the exponent). The value is
// rounded correctly to long double; a magnitude too large for it fails, one
// too small becomes 0.
std::optional<long double> ParseReal(std::string_view text);

// Plain decimal digits of an unsigned 32-bit value: 0 gives "0".
std::string IntToText(std::uint32_t value);

// Fixed-point text with exactly `decimals` digits after a ".", a leading "-"
// for negative values, padded on the left with blanks to at least `width`
// characters (never cut). The value is first taken to 18 significant digits,
// then rounded half away from zero: 0.0625 with 3 decimals gives "0.063".
// A result that rounds to zero carries no sign. Magnitudes of 1e36 and above
// are written in exponent form ("1.00000000000000000E+36").
std::string RealToText(long double value, int width, int decimals);

// Converts every text by the integer rule into the low 32 bits of its value;
// a failed entry becomes 0. `values` gets exactly one entry per text.
// Returns the number of texts that failed.
std::size_t TextsToInts(const AString& texts, ADWord& values);

// Converts every text by the real rule; a failed entry becomes 0.0.
// Returns the number of texts that failed.
std::size_t TextsToReals(const AString& texts, AExt& values);

}  // namespace tessarin

#endif  // TESSARIN_TEXT_NUMBERS_H_
