// The figure painter, loaded from its module when the first figure is
// painted.
#ifndef TESSARIN_APP_LOADED_RENDERER_H_
#define TESSARIN_APP_LOADED_RENDERER_H_

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "view/figure_renderer.h"

namespace tessarin {

// Hands figures to the painter of the first module of `paths` that loads.
// Nothing is loaded before the first figure. When no module loads, every
// Render throws, saying why the last one did not.
class LoadedFigureRenderer : public FigureRenderer {
 public:
  explicit LoadedFigureRenderer(std::vector<std::string> paths);
  ~LoadedFigureRenderer() override;
  void Render(const FigureDocument& figure, RenderedFormat format,
              const RenderSettings& settings, std::ostream& out) override;

 private:
  std::vector<std::string> paths_;
  std::unique_ptr<FigureRenderer> loaded_;
};

// Where the running program finds the module: beside it (a build tree),
// then at `installed`, a path taken from the program's folder.
std::vector<std::string> FigureModulePaths(const std::string& installed);

}  // namespace tessarin

#endif  // TESSARIN_APP_LOADED_RENDERER_H_
