// The figure formats that are painted rather than written as markup (PDF,
// SVG, PNG), their settings, and the interface of whatever paints them. The
// painter itself lives outside the core (it needs a graphics toolkit); the
// commands only hand it a finished figure.
#ifndef TESSARIN_VIEW_FIGURE_RENDERER_H_
#define TESSARIN_VIEW_FIGURE_RENDERER_H_

#include <optional>
#include <ostream>
#include <string_view>

#include "view/figure_document.h"

namespace tessarin {

enum class RenderedFormat { kPdf, kSvg, kPng };

enum class PageSize { kA4, kLetter };

// The resolutions a PNG may be drawn at, in dots per inch.
inline constexpr int kMinFigureDpi = 10;
inline constexpr int kMaxFigureDpi = 2400;

struct RenderSettings {
  int dpi = 300;                  // PNG
  PageSize page = PageSize::kA4;  // PDF
  bool landscape = true;          // PDF
};

// "A4" or "letter", each optionally followed by "-portrait" or
// "-landscape", letters compared without regard to case; nothing for any
// other text.
std::optional<RenderSettings> PageByName(std::string_view name,
                                         RenderSettings settings);

// Paints a figure into a stream. A failure (a picture too large to hold,
// say) throws an exception whose text says what failed.
class FigureRenderer {
 public:
  virtual ~FigureRenderer() = default;
  virtual void Render(const FigureDocument& figure, RenderedFormat format,
                      const RenderSettings& settings, std::ostream& out) = 0;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_FIGURE_RENDERER_H_
