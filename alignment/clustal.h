// Clustal alignments: a first line that begins with "CLUSTAL", then blocks of
// "name residues [count]" lines separated by empty lines; a line that begins
// with a blank is the block's conservation line and is ignored.
#ifndef TESSARIN_ALIGNMENT_CLUSTAL_H_
#define TESSARIN_ALIGNMENT_CLUSTAL_H_

#include <cstdint>
#include <string_view>

#include "alignment/seq_set.h"
#include "text/line_file.h"

namespace tessarin {

// Whether `first_line` opens a Clustal file (and is no FASTA header).
bool IsClustalHeader(std::string_view first_line);

// Reads the rows of a Clustal file (its header line first) into the empty
// `set`, in the order their names first appear. Reports nothing; linear in
// the file size. Returns the number of rows.
std::uint32_t ReadClustalLines(const LineText& text, TSeqSet& set);

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_CLUSTAL_H_
