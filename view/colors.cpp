#include "view/colors.h"

#include "view/rich_view.h"

namespace tessarin {

namespace {

constexpr Rgb FromLowBytes(std::uint32_t value) {
  return Rgb{static_cast<std::uint8_t>(value & 0xFF),
             static_cast<std::uint8_t>((value >> 8) & 0xFF),
             static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

}  // namespace

// The classic desktop scheme; documents depend on these and never on the
// running theme.
const std::array<Rgb, kSystemColorCount> kSystemColors = {{
    {200, 200, 200},  // 0 scroll bar
    {58, 110, 165},   // 1 desktop background
    {10, 36, 106},    // 2 active caption
    {128, 128, 128},  // 3 inactive caption
    {212, 208, 200},  // 4 menu
    {255, 255, 255},  // 5 window
    {0, 0, 0},        // 6 window frame
    {0, 0, 0},        // 7 menu text
    {0, 0, 0},        // 8 window text
    {255, 255, 255},  // 9 caption text
    {212, 208, 200},  // 10 active border
    {212, 208, 200},  // 11 inactive border
    {128, 128, 128},  // 12 application workspace
    {10, 36, 106},    // 13 highlight
    {255, 255, 255},  // 14 highlight text
    {212, 208, 200},  // 15 button face
    {128, 128, 128},  // 16 button shadow
    {128, 128, 128},  // 17 grey text
    {0, 0, 0},        // 18 button text
    {212, 208, 200},  // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight
    {64, 64, 64},     // 21 3-D dark shadow
    {212, 208, 200},  // 22 3-D light
    {0, 0, 0},        // 23 info text
    {255, 255, 225},  // 24 info background
    {0, 0, 0},        // 25 unused
    {0, 0, 128},      // 26 hot light
    {166, 202, 240},  // 27 active caption gradient
    {192, 192, 192},  // 28 inactive caption gradient
    {49, 106, 197},   // 29 menu highlight
    {236, 233, 216},  // 30 menu bar
}};

Rgb SystemColor(std::uint8_t index) {
  if (index >= kSystemColorCount) return Rgb{};
  return kSystemColors[index];
}

std::optional<Rgb> ShownTextColor(std::uint32_t value) {
  if (value == kWindowTextColor) return std::nullopt;
  if ((value & kSystemColorBit) != 0) {
    return SystemColor(static_cast<std::uint8_t>(value & 0xFF));
  }
  return FromLowBytes(value);
}

Rgb ShownBackColor(std::uint32_t value) { return FromLowBytes(value); }

Appearance ResolveAppearance(std::optional<std::uint32_t> color,
                             std::optional<std::uint32_t> back,
                             std::uint8_t style) {
  Appearance shown;
  if (color) shown.text = ShownTextColor(*color);
  if (back) shown.back = ShownBackColor(*back);
  shown.bold = (style & kFontBold) != 0;
  shown.italic = (style & kFontItalic) != 0;
  shown.underline = (style & kFontUnderline) != 0;
  shown.strike_out = (style & kFontStrikeOut) != 0;
  return shown;
}

}  // namespace tessarin
