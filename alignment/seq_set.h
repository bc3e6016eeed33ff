// The alignment: its sequences in file order, and the aligned FASTA reader.
#ifndef TESSARIN_ALIGNMENT_SEQ_SET_H_
#define TESSARIN_ALIGNMENT_SEQ_SET_H_

#include <cstdint>
#include <string>
#include <vector>

#include "alignment/seq.h"
#include "text/arrays.h"
#include "text/line_file.h"

namespace tessarin {

class TSeqSet {
 public:
  TSeqSet() = default;

  // Reads an aligned FASTA file into this (empty) set and returns the number
  // of sequences read. Empty lines are dropped; a header is any line holding
  // '>' and names its sequence with the rest of the line after the first '>';
  // the lines up to the next header, joined, are its text; lines before the
  // first header are ignored. A file that cannot be opened, or has no
  // header, gives no sequence. Reports nothing; linear in the file size.
  // Makes each text and the array of sequences at their final size, and
  // releases the file before it makes the upper-case texts: at no time does
  // it hold more than the sequences and either the file or their RawSeq.
  std::uint32_t ReadFasta(const std::string& path);
  // The same from lines already loaded (released before it returns).
  std::uint32_t ReadFastaLines(LineText text);

  std::uint32_t Count() const {
    return static_cast<std::uint32_t>(Seqs.size());
  }
  // The longest Seq; 0 for an empty set.
  std::uint32_t MaxLength() const;
  // GaplessTable of every sequence, in order.
  AADWord GaplessTables() const;

  std::vector<TSeq> Seqs;
};

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_SEQ_SET_H_
