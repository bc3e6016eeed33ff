// The painted figure formats: pages (PDF, a printer), a picture (PNG) and
// SVG, and the renderer that the commands hand finished figures to.
#ifndef TESSARIN_RENDER_FIGURE_FILES_H_
#define TESSARIN_RENDER_FIGURE_FILES_H_

#include <QImage>
#include <cstdint>
#include <memory>
#include <ostream>

#include "render/figure_painter.h"
#include "view/figure_renderer.h"

class QGuiApplication;
class QIODevice;
class QPagedPaintDevice;

namespace tessarin {

// The page's margin and the space around a picture, in points.
inline constexpr double kPageMarginPoints = 36;
inline constexpr double kPictureMarginPoints = 18;
// The header's size on pages, in points.
inline constexpr double kPageHeaderPoints = 8;
// The most pixels a PNG may have (a gigabyte of memory while it is drawn).
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;

// Paints the figure onto the pages of `device` (a PDF writer, a printer)
// within its page layout: the header on the first page, then the blocks,
// each whole on one page, a new page when the next one does not fit. The
// blocks' text is the largest size up to kFigureTextPoints at which the
// widest block fits the page's width and the tallest its height.
void PaintFigurePages(const FigureDocument& figure, QPagedPaintDevice& device,
                      const BlockStrip* strip = nullptr);

// PDF on `page` (kPageMarginPoints all round), fonts embedded.
void WriteFigurePdf(const FigureDocument& figure,
                    const RenderSettings& settings, QIODevice& out,
                    const BlockStrip* strip = nullptr);

// The picture's plan: blocks at kFigureTextPoints, the header at the same
// size wrapped at the blocks' width (at least kMinHeaderColumns).
FigurePlan PicturePlan(const FigureDocument& figure,
                       const BlockStrip* strip = nullptr);
// The picture's width and height in points: the plan's widest part and its
// height, with kPictureMarginPoints all round.
QSizeF PictureSizePoints(const FigurePlan& plan);

// The whole figure as a picture at `dpi`, white behind; throws
// std::runtime_error when it would have more than kMaxPicturePixels pixels.
QImage PaintFigureImage(const FigureDocument& figure, int dpi,
                        const BlockStrip* strip = nullptr);

// SVG of the picture's plan, sizes in points: each block a group (class
// "block") holding one rectangle (class "window") per span of a row with
// one background, then one text element per block line (class "ruler",
// "row" or "labels") holding the line's characters, its marks as tspans.
// Text names kFigureFontFamily with kFigureFontFallback and is stretched to
// its cells, so columns line up in any fixed-pitch font.
void WriteFigureSvg(const FigureDocument& figure, QIODevice& out,
                    const BlockStrip* strip = nullptr);

// Paints figures into streams with the painters above. When the process
// has no QGuiApplication yet, the first rendering starts one on the
// offscreen platform (no display needed), which lives as long as this
// object; nothing of Qt's platform is touched before that.
class QtFigureRenderer : public FigureRenderer {
 public:
  explicit QtFigureRenderer(const BlockStrip* strip = nullptr);
  ~QtFigureRenderer() override;
  void Render(const FigureDocument& figure, RenderedFormat format,
              const RenderSettings& settings, std::ostream& out) override;

 private:
  const BlockStrip* strip_;
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace tessarin

#endif  // TESSARIN_RENDER_FIGURE_FILES_H_
