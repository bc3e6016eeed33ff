#include "view/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tessarin {
namespace {

// An sRGB channel in linear light, 0 to 1.
double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// WCAG 2 relative luminance.
double Luminance(const Rgb& rgb) {
  return 0.2126 * Linear(rgb.red) + 0.7152 * Linear(rgb.green) +
         0.0722 * Linear(rgb.blue);
}

double Contrast(const Rgb& a, const Rgb& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// CIELAB under D65.
std::array<double, 3> Lab(const Rgb& rgb) {
  const double r = Linear(rgb.red);
  const double g = Linear(rgb.green);
  const double b = Linear(rgb.blue);
  const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
  const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
  const auto f = [](double t) {
    return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
  };
  return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double DeltaE76(const Rgb& a, const Rgb& b) {
  const std::array<double, 3> la = Lab(a);
  const std::array<double, 3> lb = Lab(b);
  return std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
}

TEST(PaletteTest, DistinctColoursReadOnWhiteAndYellowAndDifferClearly) {
  constexpr Rgb kWhite{255, 255, 255};
  constexpr Rgb kYellow{255, 255, 0};
  for (std::size_t i = 0; i < kDistinctColors.size(); ++i) {
    const Rgb& color = kDistinctColors[i];
    EXPECT_GE(Contrast(color, kWhite), 3.0) << "colour " << i;
    EXPECT_GE(Contrast(color, kYellow), 3.0) << "colour " << i;
    for (std::size_t j = i + 1; j < kDistinctColors.size(); ++j) {
      EXPECT_GE(DeltaE76(color, kDistinctColors[j]), 14.0)
          << "colours " << i << " and " << j;
    }
  }
}

TEST(PaletteTest, NamesAreMatchedWithoutRegardToCase) {
  const std::pair<std::string_view, std::optional<Palette>> cases[] = {
      {"spec", Palette::kColorRule},
      {"SPEC", Palette::kColorRule},
      {"Distinct", Palette::kDistinct},
      {"distinct ", std::nullopt},
      {"", std::nullopt},
      {"rule", std::nullopt},
  };
  for (const auto& [name, palette] : cases) {
    EXPECT_EQ(PaletteByName(name), palette) << "'" << name << "'";
  }
}

TEST(PaletteTest, FactorColorsKeepColourKeysAndCycleTheDistinctSet) {
  constexpr std::size_t kFactors = kDistinctColorCount + 2;
  TaTFSet factors(kFactors);
  for (std::size_t i = 0; i < kFactors; ++i) factors[i].Color = FactorColor(i);
  factors[1].ColorKey = 0x123456;  // the reader then coloured it so too
  factors[1].Color = 0x123456;
  const auto value = [](const Rgb& rgb) {
    return std::uint32_t{rgb.red} | std::uint32_t{rgb.green} << 8 |
           std::uint32_t{rgb.blue} << 16;
  };
  struct Case {
    Palette palette;
    std::size_t factor;
    std::uint32_t color;
  };
  const Case cases[] = {
      {Palette::kColorRule, 0, 0xFF0000},
      {Palette::kColorRule, 1, 0x123456},
      {Palette::kColorRule, 7, 0xF0FF0000},  // bits above 24 kept as stored
      {Palette::kDistinct, 0, 0xAA7744},
      {Palette::kDistinct, 1, 0x123456},
      {Palette::kDistinct, 2, value(kDistinctColors[2])},
      {Palette::kDistinct, kDistinctColorCount, value(kDistinctColors[0])},
      {Palette::kDistinct, kDistinctColorCount + 1, value(kDistinctColors[1])},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint32_t> colors = FactorColors(factors, c.palette);
    ASSERT_EQ(colors.size(), kFactors);
    EXPECT_EQ(colors[c.factor], c.color) << "factor " << c.factor;
  }
  EXPECT_TRUE(FactorColors({}, Palette::kDistinct).empty());
}

}  // namespace
}  // namespace tessarin
