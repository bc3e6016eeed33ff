// The colour sets that factors can be drawn in: the fixed colour rule of the
// TF file, or a set of colours chosen to stay readable and distinct.
#ifndef TESSARIN_VIEW_PALETTE_H_
#define TESSARIN_VIEW_PALETTE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sources/tf_set.h"
#include "view/colors.h"

namespace tessarin {

enum class Palette {
  kColorRule,  // each factor's stored colour, as the TF reader assigned it
  kDistinct,   // kDistinctColors by the factor's place
};

// "spec" or "distinct", letters compared without regard to case; nothing for
// any other name.
std::optional<Palette> PaletteByName(std::string_view name);

// Colours that read well as text on white and on the conserved windows'
// yellow (#FFFF00), and that differ clearly from one another: each has a
// contrast ratio of at least 3:1 against both backgrounds, and any two lie
// at least 14 apart in CIELAB (CIE76 delta E). In order of use.
inline constexpr std::size_t kDistinctColorCount = 20;
extern const std::array<Rgb, kDistinctColorCount> kDistinctColors;

// The colour value (red in the lowest byte) of each factor, in order.
// kColorRule: the factor's Color unchanged. kDistinct: the factor's own colour
// key when its block had one, else kDistinctColors[i % kDistinctColorCount].
std::vector<std::uint32_t> FactorColors(const TaTFSet& factors,
                                        Palette palette);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_PALETTE_H_
