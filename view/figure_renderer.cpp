#include "view/figure_renderer.h"

#include <string>

namespace tessarin {

namespace {

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

bool EatSuffix(std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size() ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  text.resize(text.size() - suffix.size());
  return true;
}

}  // namespace

std::optional<RenderSettings> PageByName(std::string_view name,
                                         RenderSettings settings) {
  std::string page = Lowered(name);
  if (EatSuffix(page, "-portrait")) {
    settings.landscape = false;
  } else if (EatSuffix(page, "-landscape")) {
    settings.landscape = true;
  }
  if (page == "a4") {
    settings.page = PageSize::kA4;
  } else if (page == "letter") {
    settings.page = PageSize::kLetter;
  } else {
    return std::nullopt;
  }
  return settings;
}

}  // namespace tessarin
