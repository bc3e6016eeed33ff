#include "view/palette.h"

#include <string>

#include "text/strings.h"

namespace tessarin {

namespace {

constexpr std::string_view kColorRuleName = "SPEC";
constexpr std::string_view kDistinctName = "DISTINCT";

constexpr std::uint32_t ColorValue(const Rgb& rgb) {
  return std::uint32_t{rgb.red} | std::uint32_t{rgb.green} << 8 |
         std::uint32_t{rgb.blue} << 16;
}

}  // namespace

// Paul Tol's colour-blind-safe qualitative schemes (bright, vibrant, muted,
// high contrast, medium contrast; "Colour Schemes", SRON, 2021), then Okabe
// and Ito's ("Color Universal Design", 2008), in that order, without their
// greys, black and Okabe-Ito's yellow. Each colour was darkened, all three
// channels scaled by one factor in steps of 0.01, until its contrast against
// #FFFF00 was at least 3.05:1 (and so more than that against white), and then
// kept when it lay at least 14 (CIE76 delta E) from every colour kept before
// it. The source of each is noted with its darkening factor.
const std::array<Rgb, kDistinctColorCount> kDistinctColors = {{
    {0x44, 0x77, 0xAA},  // Tol bright blue #4477AA
    {0xE4, 0x62, 0x72},  // Tol bright red #EE6677 x 0.96
    {0x22, 0x88, 0x33},  // Tol bright green #228833
    {0x9B, 0x8E, 0x34},  // Tol bright yellow #CCBB44 x 0.76
    {0x4B, 0x97, 0xB0},  // Tol bright cyan #66CCEE x 0.74
    {0xAA, 0x33, 0x77},  // Tol bright purple #AA3377
    {0x00, 0x99, 0x88},  // Tol vibrant teal #009988
    {0xDD, 0x6F, 0x2F},  // Tol vibrant orange #EE7733 x 0.93
    {0xCC, 0x33, 0x11},  // Tol vibrant red #CC3311
    {0xEE, 0x33, 0x77},  // Tol vibrant magenta #EE3377
    {0x33, 0x22, 0x88},  // Tol muted indigo #332288
    {0x98, 0x8D, 0x52},  // Tol muted sand #DDCC77 x 0.69
    {0xAA, 0x44, 0x99},  // Tol muted purple #AA4499
    {0x00, 0x44, 0x88},  // Tol high-contrast blue #004488
    {0xBB, 0x55, 0x66},  // Tol high-contrast red #BB5566
    {0x99, 0x77, 0x00},  // Tol medium-contrast dark yellow #997700
    {0xBE, 0x7A, 0x88},  // Tol medium-contrast light red #EE99AA x 0.80
    {0xBD, 0x82, 0x00},  // Okabe-Ito orange #E69F00 x 0.82
    {0x00, 0x9E, 0x73},  // Okabe-Ito bluish green #009E73
    {0xC4, 0x74, 0xA0},  // Okabe-Ito reddish purple #CC79A7 x 0.96
}};

std::optional<Palette> PaletteByName(std::string_view name) {
  const std::string upper = UpperAscii(name);
  if (upper == kColorRuleName) return Palette::kColorRule;
  if (upper == kDistinctName) return Palette::kDistinct;
  return std::nullopt;
}

std::vector<std::uint32_t> FactorColors(const TaTFSet& factors,
                                        Palette palette) {
  std::vector<std::uint32_t> colors;
  colors.reserve(factors.size());
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const TTFSet& factor = factors[i];
    if (palette == Palette::kColorRule) {
      colors.push_back(factor.Color);
      continue;
    }
    colors.push_back(factor.ColorKey.value_or(
        ColorValue(kDistinctColors[i % kDistinctColors.size()])));
  }
  return colors;
}

}  // namespace tessarin
