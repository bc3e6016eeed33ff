// tessarin-cli: the batch front end.
#include <unistd.h>

#include <iostream>

#include "app/cli.h"
#include "app/descriptor_buffer.h"
#include "app/loaded_renderer.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // Standard output through a buffer that keeps the reason of a failed
  // write, so that it can be reported.
  tessarin::DescriptorBuffer buffer(STDOUT_FILENO);
  std::ostream out(&buffer);
  // Loads the painter, and with it Qt, only when a figure is painted.
  tessarin::LoadedFigureRenderer renderer(
      tessarin::FigureModulePaths(TESSARIN_MODULE_FROM_BIN));
  return tessarin::RunCli(argc, argv, out, std::cerr, &renderer);
}
