// tessarin-cli: the batch front end.
#include <unistd.h>

#include <iostream>

#include "app/cli.h"
#include "app/descriptor_buffer.h"
#include "render/figure_files.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // Standard output through a buffer that keeps the reason of a failed
  // write, so that it can be reported.
  tessarin::DescriptorBuffer buffer(STDOUT_FILENO);
  std::ostream out(&buffer);
  // Starts Qt's offscreen platform only when a figure is painted.
  tessarin::QtFigureRenderer renderer;
  return tessarin::RunCli(argc, argv, out, std::cerr, &renderer);
}
