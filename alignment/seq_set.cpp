#include "alignment/seq_set.h"

#include <algorithm>
#include <string_view>

#include "text/strings.h"

namespace tessarin {

namespace {

// A header is any line that holds this; the name is the rest of the line
// after its first occurrence.
constexpr std::string_view kHeaderMark = ">";

// The header line at or after the line at `from` (count 0: none).
KeyHit NextHeader(const LineText& text, std::size_t from) {
  return text.FindFirstKey(kHeaderMark, from);
}

std::size_t CountHeaders(const LineText& text) {
  std::size_t headers = 0;
  for (KeyHit header = NextHeader(text, 0); header.count != 0;
       header = NextHeader(text, text.Next(header.line))) {
    ++headers;
  }
  return headers;
}

// `lines` (whole lines, each followed by LF) joined without separator, in a
// string of exactly that size. Empty lines add nothing, as if dropped.
std::string JoinLines(std::string_view lines) {
  std::string joined;
  joined.reserve(lines.size() - static_cast<std::size_t>(std::count(
                                    lines.begin(), lines.end(), '\n')));
  for (std::size_t begin = 0; begin < lines.size();) {
    const std::size_t lf = lines.find('\n', begin);
    joined.append(lines, begin, lf - begin);
    begin = lf + 1;
  }
  return joined;
}

}  // namespace

std::uint32_t TSeqSet::ReadFasta(const std::string& path) {
  return ReadFastaLines(LineText::FromFile(path));
}

std::uint32_t TSeqSet::ReadFastaLines(LineText text) {
  // The sequences are counted first, so that the array is made once at its
  // final size rather than grown (which holds the old and the new array).
  Seqs.reserve(Seqs.size() + CountHeaders(text));
  const std::size_t first_read = Seqs.size();
  for (KeyHit header = NextHeader(text, 0); header.count != 0;) {
    TSeq& seq = Seqs.emplace_back();
    seq.SeqName = text.Line(header.line).substr(header.position);
    // The text runs from the line after the header to the next header or
    // the end of the file; lines before the first header belong to nothing.
    const std::size_t first = text.Next(header.line);
    const KeyHit next = NextHeader(text, first);
    const std::size_t end = next.count != 0 ? next.line : text.End();
    seq.RawSeq = JoinLines(text.Text().substr(first, end - first));
    header = next;
  }
  // The file goes before the upper-case texts are made: the alignment's
  // text is held at most twice, as RawSeq and Seq are.
  text.Release();
  for (std::size_t i = first_read; i < Seqs.size(); ++i) {
    Seqs[i].Seq = UpperAscii(Seqs[i].RawSeq);
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
