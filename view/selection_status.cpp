#include "view/selection_status.h"

#include <limits>

#include "alignment/position_map.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "view/row_layout.h"

namespace tessarin {

std::optional<std::string> InspectSelection(const ReadInData& data,
                                            const AnnotatedView& annotation,
                                            bool loaded, bool annotated) {
  const TSeqSet* alignment = data.alignment.get();
  const ADWord& line_index = annotation.line_index;
  const RichView& view = annotation.view;
  if (!loaded || !annotated || alignment == nullptr) return std::nullopt;
  if (view.SelLength() == 0) return std::string();
  const std::uint64_t start = view.SelStart();
  const std::size_t line = LineOfChar(view, start);
  const std::uint64_t offset = start - LineStart(view, line);
  if (line_index.empty() || line > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  const std::int64_t i = IndexOfValue(
      line_index, static_cast<std::uint32_t>(line), line_index.size());
  if (i < 0 || static_cast<std::size_t>(i) >= alignment->Seqs.size()) {
    return std::nullopt;
  }
  const TSeq& seq = alignment->Seqs[static_cast<std::size_t>(i)];
  const std::optional<std::uint64_t> at =
      ColumnAt(RowPrefixLength(seq.SeqName), offset);
  if (!at) return std::nullopt;

  const std::uint64_t column = *at;  // A
  const std::uint64_t length = view.SelLength();
  const std::string covered =
      column > seq.Seq.size()
          ? std::string()
          : seq.Seq.substr(column - 1, length);  // cut at the row's end
  const std::string letters = RemoveChars(covered, kGapChars);
  std::int64_t gapless = seq.GaplessCount(column);
  if (gapless < 0) gapless = seq.GaplessCount(seq.Seq.size());

  std::string report = seq.SeqName;
  report += ": +Gaps: Pos=" + std::to_string(column);
  report += " L=" + IntToText(static_cast<std::uint32_t>(covered.size()));
  report += " -Gaps: Pos=" + IntToText(static_cast<std::uint32_t>(gapless));
  report += " L=" + IntToText(static_cast<std::uint32_t>(letters.size()));
  report += " >" + letters;
  return report;
}

}  // namespace tessarin
