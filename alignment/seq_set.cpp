#include "alignment/seq_set.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "text/strings.h"

namespace tessarin {

namespace {

// Builds the sequences of a FASTA file from its lines, one line at a time.
// The text lines of a record are kept as views until the record ends, so
// that its text is joined into a string of exactly the right size.
class FastaBuilder {
 public:
  explicit FastaBuilder(std::vector<TSeq>& seqs) : seqs_(seqs) {}
  FastaBuilder(const FastaBuilder&) = delete;
  FastaBuilder& operator=(const FastaBuilder&) = delete;

  void Line(std::string_view line) {
    if (line.empty()) return;
    const std::size_t mark = line.find('>');
    if (mark != std::string_view::npos) {
      Finish();
      seqs_.emplace_back().SeqName = line.substr(mark + 1);
      open_ = true;
    } else if (open_) {
      pieces_.push_back(line);  // lines before the first header are ignored
    }
  }

  // Joins the text lines of the open record into its RawSeq and Seq.
  void Finish() {
    if (!open_) return;
    TSeq& seq = seqs_.back();
    std::size_t total = 0;
    for (const std::string_view piece : pieces_) total += piece.size();
    seq.RawSeq.reserve(total);
    for (const std::string_view piece : pieces_) seq.RawSeq += piece;
    seq.Seq = UpperAscii(seq.RawSeq);
    pieces_.clear();
    open_ = false;
  }

 private:
  std::vector<TSeq>& seqs_;
  std::vector<std::string_view> pieces_;
  bool open_ = false;
};

}  // namespace

std::uint32_t TSeqSet::ReadFasta(const std::string& path) {
  // The file is walked line by line in place: no string per line.
  const std::optional<std::string> content = Ttf::ReadContent(path);
  if (!content) return 0;
  FastaBuilder builder(Seqs);
  ForEachLine(*content,
              [&builder](std::string_view line) { builder.Line(line); });
  builder.Finish();
  return Count();
}

std::uint32_t TSeqSet::ReadFastaLines(const Ttf& file) {
  FastaBuilder builder(Seqs);
  for (const std::string& line : file.Lines()) builder.Line(line);
  builder.Finish();
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
