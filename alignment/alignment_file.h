// Reading an alignment file of any accepted format: aligned FASTA, Clustal or
// Stockholm, told apart by the first line.
#ifndef TESSARIN_ALIGNMENT_ALIGNMENT_FILE_H_
#define TESSARIN_ALIGNMENT_ALIGNMENT_FILE_H_

#include <cstdint>
#include <string>

#include "alignment/seq_set.h"
#include "text/line_file.h"

namespace tessarin {

// Reads the file at `path` into the empty `set`: as Clustal when its first
// line begins with "CLUSTAL", as Stockholm when it begins with
// "# STOCKHOLM" (neither holding '>'), otherwise by the aligned FASTA rules
// exactly (TSeqSet::ReadFasta). Returns the number of sequences read.
// Reports nothing; a file that cannot be opened gives no sequence.
std::uint32_t ReadAlignmentFile(const std::string& path, TSeqSet& set);
// The same on lines already loaded.
std::uint32_t ReadAlignmentLines(LineText text, TSeqSet& set);

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_ALIGNMENT_FILE_H_
