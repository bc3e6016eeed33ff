#include "alignment/stockholm.h"

#include "alignment/interleaved_rows.h"

namespace tessarin {

bool IsStockholmHeader(std::string_view first_line) {
  return first_line.substr(0, 11) == "# STOCKHOLM" &&
         first_line.find('>') == std::string_view::npos;
}

std::uint32_t ReadStockholmLines(const LineText& text, TSeqSet& set) {
  InterleavedRows rows(set);
  bool ended = false;
  text.ForEachLine(text.Next(0), text.End(), [&](std::string_view line) {
    if (ended) return;
    if (line.substr(0, 2) == "//") {
      ended = true;
      return;
    }
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') return;
    rows.AddLine(line.substr(start), '.');
  });
  return rows.Finish();
}

}  // namespace tessarin
