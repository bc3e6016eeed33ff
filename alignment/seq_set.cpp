#include "alignment/seq_set.h"

#include <algorithm>

#include "text/strings.h"

namespace tessarin {

std::uint32_t TSeqSet::ReadFasta(const std::string& path) {
  Ttf file;
  if (Ttf::CanOpen(path)) file.LoadFromFile(path);
  return ReadFastaLines(file);
}

std::uint32_t TSeqSet::ReadFastaLines(Ttf& file) {
  file.RemoveEmptyLines();
  AString& lines = file.Lines();
  std::size_t search_from = 0;
  for (;;) {
    const KeyHit header = file.FindFirstKey(">", search_from);
    if (header.count == 0) break;
    const std::size_t h = header.line;
    TSeq& seq = Seqs.emplace_back();
    seq.SeqName = lines[h].substr(header.position);

    const KeyHit next = file.FindFirstKey(">", h + 1);
    const std::size_t end = next.count != 0 ? next.line : lines.size();
    if (h + 2 == end) {
      seq.RawSeq = std::move(lines[h + 1]);  // one line: no copy
    } else if (h + 1 < end) {
      seq.RawSeq = file.JoinLines(h + 1, end - 1);
      // The joined lines are no longer needed; freeing them keeps the peak
      // near one copy of the sequence text.
      for (std::size_t i = h + 1; i < end; ++i) std::string().swap(lines[i]);
    }
    seq.Seq = UpperAscii(seq.RawSeq);
    search_from = h + 1;
  }
  return Count();
}

std::uint32_t TSeqSet::MaxLength() const {
  std::size_t longest = 0;
  for (const TSeq& seq : Seqs) longest = std::max(longest, seq.Seq.size());
  return static_cast<std::uint32_t>(longest);
}

AADWord TSeqSet::GaplessTables() const {
  AADWord tables;
  tables.reserve(Seqs.size());
  for (const TSeq& seq : Seqs) tables.push_back(seq.GaplessTable());
  return tables;
}

}  // namespace tessarin
