#include "app/loaded_renderer.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "render/figure_module.h"

namespace tessarin {

LoadedFigureRenderer::LoadedFigureRenderer(std::vector<std::string> paths)
    : paths_(std::move(paths)) {}

// The module stays loaded: Qt's own state lives in it until the process
// ends.
LoadedFigureRenderer::~LoadedFigureRenderer() = default;

void LoadedFigureRenderer::Render(const FigureDocument& figure,
                                  RenderedFormat format,
                                  const RenderSettings& settings,
                                  std::ostream& out) {
  if (loaded_ == nullptr) {
    std::string why = "no place to look for it";
    for (const std::string& path : paths_) {
      void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (module == nullptr) {
        const char* error = ::dlerror();
        why = error != nullptr ? error : path;
        continue;
      }
      auto* make = reinterpret_cast<decltype(&tessarin_new_figure_renderer)>(
          ::dlsym(module, kFigureModuleEntry));
      if (make == nullptr) {
        why = path + ": no " + kFigureModuleEntry;
        ::dlclose(module);
        continue;
      }
      loaded_.reset(make());
      break;
    }
    if (loaded_ == nullptr) {
      throw std::runtime_error("The figure painter could not be loaded (" +
                               why + ")");
    }
  }
  loaded_->Render(figure, format, settings, out);
}

std::vector<std::string> FigureModulePaths(const std::string& installed) {
  std::error_code error;
  const std::filesystem::path program =
      std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path folder = program.parent_path();
  return {(folder / kFigureModuleName).string(),
          (folder / installed / kFigureModuleName).lexically_normal().string()};
}

}  // namespace tessarin
