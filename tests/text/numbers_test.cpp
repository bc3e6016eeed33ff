#include "text/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace tessarin {
namespace {

TEST(ParseIntegerTest, AcceptsDecimalAndHexadecimalForms) {
  struct Row {
    const char* text;
    std::int64_t value;
  };
  const Row rows[] = {
      {"7", 7},
      {"  7", 7},
      {"+7", 7},
      {"-1", -1},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0x10", 16},
      {"0X10", 16},
      {"-$10", -16},
      {"0", 0},
      {"007", 7},
      {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"$FFFFFFFFFFFFFFFF", -1},
      {"$000000000000000000001", 1},
      {"4294967299", 4294967299},
  };
  for (const Row& row : rows) {
    const auto value = ParseInteger(row.text);
    ASSERT_TRUE(value.has_value()) << row.text;
    EXPECT_EQ(*value, row.value) << row.text;
  }
}

TEST(ParseIntegerTest, RejectsEverythingElse) {
  const char* bad[] = {"",
                       " ",
                       "7 ",
                       "x",
                       "$",
                       "0x",
                       "1.0",
                       "- 1",
                       "+-1",
                       "1e3",
                       "abc",
                       "--1",
                       "9223372036854775808",
                       "-9223372036854775809",
                       "$1FFFFFFFFFFFFFFFF",
                       "0x1g"};
  for (const char* text : bad) {
    EXPECT_FALSE(ParseInteger(text).has_value()) << "'" << text << "'";
  }
}

TEST(ParseRealTest, AcceptsTheRealForms) {
  struct Row {
    const char* text;
    long double value;
  };
  const Row rows[] = {
      {"0.25", 0.25L}, {"1e-3", 1e-3L},  {"  .5", 0.5L},
      {"5.", 5.0L},    {".", 0.0L},      {".e5", 0.0L},
      {"-2.5", -2.5L}, {"+1E2", 100.0L}, {"1e-99999", 0.0L},
  };
  for (const Row& row : rows) {
    const auto value = ParseReal(row.text);
    ASSERT_TRUE(value.has_value()) << row.text;
    EXPECT_EQ(*value, row.value) << row.text;
  }
  // Correct rounding to extended precision, not to double.
  EXPECT_EQ(*ParseReal("0.1"), 0.1L);
}

TEST(ParseRealTest, RejectsEverythingElse) {
  const char* bad[] = {"",     " ",   "-",       "+",   "e5",   "1,5",
                       "0.5 ", "abc", "1e",      "1e+", "1..2", "N/A",
                       "inf",  "nan", "1e99999", "0x10"};
  for (const char* text : bad) {
    EXPECT_FALSE(ParseReal(text).has_value()) << "'" << text << "'";
  }
}

// Short decimals take a quicker road than the C library's conversion; both
// must round every value to the same long double, sign of zero included.
TEST(ParseRealTest, RoundsAsTheCLibraryDoes) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 200000; ++i) {
    std::string text = random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 22);
    const int point = static_cast<int>(random() % (digits + 2)) - 1;
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>(
          '0' + (d == 0 && random() % 3 == 0 ? 0 : random() % 10));
    }
    if (random() % 3 == 0) {
      text += random() % 2 ? "e" : "E-";
      text += std::to_string(random() % 40);
    }
    const std::optional<long double> value = ParseReal(text);
    ASSERT_TRUE(value.has_value()) << text;
    const long double expected = std::strtold(text.c_str(), nullptr);
    ASSERT_EQ(*value, expected) << text;
    ASSERT_EQ(std::signbit(*value), std::signbit(expected)) << text;
  }
}

TEST(ParseRealTest, IgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(*ParseReal("0.5"), 0.5L);
  EXPECT_FALSE(ParseReal("0,5").has_value());
  EXPECT_EQ(RealToText(0.5L, 5, 3), "0.500");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextsToNumbersTest, CountsFailuresAndZeroesThem) {
  ADWord ints;
  EXPECT_EQ(TextsToInts({" 7", "7 ", "x", "$1F", "-1"}, ints), 2u);
  EXPECT_EQ(ints, ADWord({7, 0, 0, 31, 4294967295u}));
  EXPECT_EQ(TextsToInts({}, ints), 0u);
  EXPECT_TRUE(ints.empty());

  AExt reals;
  EXPECT_EQ(TextsToReals({"0.25", "1e-3", "1,5", ""}, reals), 2u);
  EXPECT_EQ(reals, AExt({0.25L, 1e-3L, 0.0L, 0.0L}));
}

TEST(NumberTextTest, FormatsFixedPoint) {
  struct Row {
    long double value;
    const char* text;
  };
  const Row rows[] = {
      {0.5L, "0.500"},
      {12.25L, "12.250"},
      {-1.0L, "-1.000"},
      {0.0L, "0.000"},
      {2.5L, "2.500"},
      {-12.5L, "-12.500"},
      {0.0625L, "0.063"},
      {-0.0625L, "-0.063"},
      {0.12345L, "0.123"},
      {9.9996L, "10.000"},
      {-0.0001L, "0.000"},
      {1e-30L, "0.000"},
      {123456789.0L, "123456789.000"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RealToText(row.value, 5, 3), row.text);
  }
  EXPECT_EQ(RealToText(1.0L, 8, 1), "     1.0");
  EXPECT_EQ(RealToText(1e40L, 5, 3), "1.00000000000000000E+40");
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(4294967295u), "4294967295");
}

}  // namespace
}  // namespace tessarin
