#include "alignment/clustal.h"

#include "alignment/interleaved_rows.h"

namespace tessarin {

bool IsClustalHeader(std::string_view first_line) {
  return first_line.substr(0, 7) == "CLUSTAL" &&
         first_line.find('>') == std::string_view::npos;
}

std::uint32_t ReadClustalLines(const LineText& text, TSeqSet& set) {
  InterleavedRows rows(set);
  text.ForEachLine(text.Next(0), text.End(), [&](std::string_view line) {
    if (line.empty() || line.front() == ' ' || line.front() == '\t') return;
    rows.AddLine(line);
  });
  return rows.Finish();
}

}  // namespace tessarin
