#include "view/figure_document.h"

#include <algorithm>

namespace tessarin {

std::vector<LegendEntry> FigureLegend(
    const TaTFSet& factors, const std::vector<std::uint32_t>& colors) {
  std::vector<LegendEntry> legend;
  legend.reserve(factors.size());
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const std::uint32_t value =
        i < colors.size() ? colors[i] : factors[i].Color;
    legend.push_back({factors[i].Name, ShownTextColor(value)});
  }
  return legend;
}

namespace {

std::string Capitalised(std::string_view text) {
  std::string out(text);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] -= 'a' - 'A';
  return out;
}

}  // namespace

std::vector<std::string> ProvenanceLines(const Provenance& provenance) {
  std::vector<std::string> lines;
  for (const ProvenanceInput& input : provenance.inputs) {
    std::string line = Capitalised(input.role) + ": " + input.path;
    if (input.size) line += ", " + std::to_string(*input.size) + " bytes";
    if (!input.sha256.empty()) line += ", SHA-256 " + input.sha256;
    if (!input.size && input.sha256.empty()) line += " (not readable)";
    lines.push_back(std::move(line));
  }
  if (!provenance.computed_conservation.empty()) {
    lines.push_back("Conservation: computed from the alignment, " +
                    provenance.computed_conservation);
  }
  std::string chosen;
  std::string other;
  for (const ProvenanceScore& score : provenance.scores) {
    std::string& list = score.chosen ? chosen : other;
    if (!list.empty()) list += ", ";
    list += score.name;
    if (!score.cutoff.empty()) {
      list += (score.chosen ? " < " : " (cut-off ") + score.cutoff;
      if (!score.chosen) list += ")";
    }
  }
  lines.push_back("Criteria: " + (chosen.empty() ? "none" : chosen) + " (" +
                  std::string(kConservedRule) + ")");
  if (!other.empty()) lines.push_back("Not chosen: " + other);
  lines.push_back(provenance.program + ", " + provenance.date);
  return lines;
}

std::size_t FigureWidth(const FigureLayout& layout) {
  std::size_t widest = 0;
  for (const FigureBlock& block : layout.blocks) {
    std::size_t columns = static_cast<std::size_t>(block.column_count) + 1 +
                          layout.position_width;
    for (const FigureLine& line : block.lines) {
      columns = std::max(columns, line.text.size());
    }
    widest = std::max(widest, columns);
  }
  return layout.name_width + kFigureGutter.size() + widest;
}

std::string FigureLineStart(const FigureLayout& layout,
                            const std::string* name) {
  std::string start = name != nullptr ? *name : std::string();
  start.resize(std::max(start.size(), layout.name_width), ' ');
  start += kFigureGutter;
  return start;
}

std::string FigureLineEnd(const FigureLayout& layout, const FigureBlock& block,
                          const FigureLine& line) {
  std::string end(
      static_cast<std::size_t>(block.column_count -
                               std::min(line.length, block.column_count)),
      ' ');
  const std::string number = std::to_string(line.end_position);
  end += ' ';
  end.append(layout.position_width > number.size()
                 ? layout.position_width - number.size()
                 : 0,
             ' ');
  end += number;
  return end;
}

}  // namespace tessarin
