// The painter as a module of its own (no Qt in this header): what the module
// gives, and its file's name.
#ifndef TESSARIN_RENDER_FIGURE_MODULE_H_
#define TESSARIN_RENDER_FIGURE_MODULE_H_

#include "view/figure_renderer.h"

extern "C" {
// A new painter, owned by the caller.
tessarin::FigureRenderer* tessarin_new_figure_renderer();
}

namespace tessarin {

inline constexpr char kFigureModuleEntry[] = "tessarin_new_figure_renderer";
inline constexpr char kFigureModuleName[] = "libtessarin-render.so";

}  // namespace tessarin

#endif  // TESSARIN_RENDER_FIGURE_MODULE_H_
