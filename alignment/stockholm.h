// Stockholm alignments: a first line "# STOCKHOLM 1.0", "name residues"
// lines (in one block or several), "#=" markup and other '#' lines, and "//"
// at the end of the alignment. Both '.' and '-' are gaps there; '.' is read
// as '-'.
#ifndef TESSARIN_ALIGNMENT_STOCKHOLM_H_
#define TESSARIN_ALIGNMENT_STOCKHOLM_H_

#include <cstdint>
#include <string_view>

#include "alignment/seq_set.h"
#include "text/line_file.h"

namespace tessarin {

// Whether `first_line` opens a Stockholm file (and is no FASTA header).
bool IsStockholmHeader(std::string_view first_line);

// Reads the rows of the first alignment of a Stockholm file into the empty
// `set`, in the order their names first appear; lines after its "//" are
// ignored. Reports nothing; linear in the file size. Returns the number of
// rows.
std::uint32_t ReadStockholmLines(const LineText& text, TSeqSet& set);

}  // namespace tessarin

#endif  // TESSARIN_ALIGNMENT_STOCKHOLM_H_
