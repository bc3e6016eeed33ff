// The module's one entry: the batch front end loads the module only when it
// paints a figure, so that a run that writes none never loads Qt.
#include "render/figure_module.h"

#include "render/figure_files.h"

extern "C" __attribute__((visibility("default"))) tessarin::FigureRenderer*
tessarin_new_figure_renderer() {
  return new tessarin::QtFigureRenderer();
}
