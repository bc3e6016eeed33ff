#include "sources/input_kind.h"

#include "sources/site_import.h"

namespace tessarin {

namespace {

std::string_view Trimmed(std::string_view line) {
  constexpr std::string_view kBlank = " \t\r";
  const std::size_t first = line.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(kBlank) - first + 1);
}

}  // namespace

std::optional<InputKind> RecogniseInput(std::string_view head) {
  bool first = true;
  for (std::size_t begin = 0; begin < head.size();) {
    std::size_t end = head.find('\n', begin);
    if (end == std::string_view::npos) end = head.size();
    const std::string_view line = Trimmed(head.substr(begin, end - begin));
    begin = end + 1;
    if (line.empty()) continue;
    if (first && (line.starts_with('>') || line.starts_with("CLUSTAL") ||
                  line.starts_with("# STOCKHOLM"))) {
      return InputKind::kAlignment;
    }
    first = false;
    if (line == "[TF]") return InputKind::kTf;
    if (line == "[SCORES]") return InputKind::kConservation;
  }
  if (DetectSiteFormat(head, {})) return InputKind::kSites;
  return std::nullopt;
}

}  // namespace tessarin
