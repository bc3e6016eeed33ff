#include "alignment/alignment_file.h"

#include <utility>

#include "alignment/clustal.h"
#include "alignment/stockholm.h"

namespace tessarin {

std::uint32_t ReadAlignmentFile(const std::string& path, TSeqSet& set) {
  return ReadAlignmentLines(LineText::FromFile(path), set);
}

std::uint32_t ReadAlignmentLines(LineText text, TSeqSet& set) {
  const std::string_view first =
      text.End() == 0 ? std::string_view() : text.Line(0);
  if (IsClustalHeader(first)) return ReadClustalLines(text, set);
  if (IsStockholmHeader(first)) return ReadStockholmLines(text, set);
  return set.ReadFastaLines(std::move(text));
}

}  // namespace tessarin
