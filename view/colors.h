// How a character is shown. The view keeps colour values and style bits
// exactly as they were given; drawing and the document writers turn them into
// a concrete appearance here, with a fixed table of system colours so that
// documents look the same on every desktop theme.
#ifndef TESSARIN_VIEW_COLORS_H_
#define TESSARIN_VIEW_COLORS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessarin {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  bool operator==(const Rgb&) const = default;
};

// The window-text colour: shown as the automatic text colour.
inline constexpr std::uint32_t kWindowTextColor = 0xFF000008;
// A value with this bit set names a system colour by its low byte.
inline constexpr std::uint32_t kSystemColorBit = 0x80000000;

// The desktop's classic system colours, by index: 0 scroll bar, 1 desktop
// background, 2 active caption, 3 inactive caption, 4 menu, 5 window,
// 6 window frame, 7 menu text, 8 window text, 9 caption text, 10 active
// border, 11 inactive border, 12 application workspace, 13 highlight,
// 14 highlight text, 15 button face, 16 button shadow, 17 grey text,
// 18 button text, 19 inactive caption text, 20 button highlight, 21 3-D dark
// shadow, 22 3-D light, 23 info text, 24 info background, 25 unused, 26 hot
// light, 27 and 28 caption gradients, 29 menu highlight, 30 menu bar.
inline constexpr std::size_t kSystemColorCount = 31;
extern const std::array<Rgb, kSystemColorCount> kSystemColors;

// The RGB of a system colour index; an index beyond the table is shown
// black, as the desktop reports unknown indices.
Rgb SystemColor(std::uint8_t index);

// The colour a stored text colour value is shown in, or nothing for the
// automatic text colour:
//   - kWindowTextColor: automatic;
//   - any other value with the top bit set: the system colour whose index is
//     the low byte;
//   - otherwise RGB with red in the low byte, then green, then blue. The
//     fourth byte (top bit clear) is ignored, so 0x01FF0000 shows as blue:
//     the value still names a colour and dropping the byte keeps it.
std::optional<Rgb> ShownTextColor(std::uint32_t value);

// The colour a stored background value is shown in: the value unchanged,
// its low three bytes as RGB (no automatic or system colours).
Rgb ShownBackColor(std::uint32_t value);

// What one character looks like, resolved from its stored attributes: the
// one rule that every document writer and the window draw by.
struct Appearance {
  std::optional<Rgb> text = std::nullopt;  // nothing: automatic text colour
  std::optional<Rgb> back = std::nullopt;  // nothing: no background
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;

  bool operator==(const Appearance&) const = default;
};

// `color` and `back` are stored values (nothing when never set), `style` the
// style bits (bold 1, italic 2, underline 4, strike-out 8; others ignored).
// The text colour follows ShownTextColor, the background ShownBackColor.
Appearance ResolveAppearance(std::optional<std::uint32_t> color,
                             std::optional<std::uint32_t> back,
                             std::uint8_t style);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_COLORS_H_
