#include "view/colors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace tessarin {
namespace {

struct TextColorCase {
  std::uint32_t value;
  std::optional<Rgb> shown;
};

TEST(ColorsTest, TextColourRule) {
  const Rgb kScrollBar = kSystemColors[0];
  const TextColorCase cases[] = {
      {0xFF000008, std::nullopt},    // window text: automatic
      {0x000000FF, Rgb{255, 0, 0}},  // red in the low byte
      {0x0000FF00, Rgb{0, 255, 0}},
      {0x00FF0000, Rgb{0, 0, 255}},
      {0x00123456, Rgb{0x56, 0x34, 0x12}},
      {0xFF000000, kScrollBar},  // top bit, low byte 0: index 0
      {0x80000000, kScrollBar},
      {0x80000005, Rgb{255, 255, 255}},  // window
      {0x80000008, Rgb{0, 0, 0}},        // index 8, yet not "automatic"
      {0x8000FF1E, kSystemColors[30]},   // only the low byte counts
      {0x8000001F, Rgb{0, 0, 0}},        // beyond the table
      {0x01FF0000, Rgb{0, 0, 255}},      // fourth byte ignored
      {0x7F00FF00, Rgb{0, 255, 0}},
  };
  for (const TextColorCase& c : cases) {
    EXPECT_EQ(ShownTextColor(c.value), c.shown) << std::hex << c.value;
  }
}

TEST(ColorsTest, BackgroundUsesValueUnchanged) {
  EXPECT_EQ(ShownBackColor(0x00FFFF), (Rgb{255, 255, 0}));
  EXPECT_EQ(ShownBackColor(0xFF000008), (Rgb{8, 0, 0}));
  EXPECT_EQ(ShownBackColor(0x80000005), (Rgb{5, 0, 0}));
}

struct AppearanceCase {
  std::optional<std::uint32_t> color;
  std::optional<std::uint32_t> back;
  std::uint8_t style;
  Appearance shown;
};

// One resolution for writers and window: colours by the rule above, the
// background untouched by it, each style bit on its own.
TEST(ColorsTest, ResolvesAttributesToAppearance) {
  const Rgb kRed{255, 0, 0};
  const AppearanceCase cases[] = {
      {std::nullopt, std::nullopt, 0, {}},
      {0xFF000008, std::nullopt, 0, {}},  // automatic: plain
      {0x0000FF, std::nullopt, 0, {.text = kRed}},
      {0xFF000000,
       0x00FFFF,
       0,
       {.text = kSystemColors[0], .back = Rgb{255, 255, 0}}},
      {std::nullopt, 0xFF000008, 0, {.back = Rgb{8, 0, 0}}},
      {std::nullopt, std::nullopt, 1, {.bold = true}},
      {std::nullopt, std::nullopt, 2, {.italic = true}},
      {std::nullopt, std::nullopt, 4, {.underline = true}},
      {std::nullopt, std::nullopt, 8, {.strike_out = true}},
      // Bits above the four style bits are ignored.
      {0x0000FF,
       std::nullopt,
       0xF5,
       {.text = kRed, .bold = true, .underline = true}},
  };
  for (const AppearanceCase& c : cases) {
    EXPECT_EQ(ResolveAppearance(c.color, c.back, c.style), c.shown)
        << std::hex << c.color.value_or(0) << " " << c.back.value_or(0) << " "
        << int{c.style};
  }
}

}  // namespace
}  // namespace tessarin
