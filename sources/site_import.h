// Binding sites from motif scanners (FIMO, BED, GFF3), read into the same
// factor records a TF file fills, so that annotation and every document work
// on them unchanged: one factor per motif name, in the order of its first
// hit; one site per hit, in file order, labelled with the factor's name;
// match type direct with the hit's letters when every hit of the factor
// gives them, else length.
#ifndef TESSARIN_SOURCES_SITE_IMPORT_H_
#define TESSARIN_SOURCES_SITE_IMPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/seq_set.h"
#include "sources/scanner_hit.h"
#include "sources/tf_set.h"
#include "text/message_sink.h"

namespace tessarin {

// What a scanner says about one site beyond the factor records. Values a
// file does not give are NaN (kNoValue).
struct TSiteDetail {
  char strand = '.';  // relative to the row: '+', '-' or '.'
  double score = kNoValue;
  double p_value = kNoValue;
  double q_value = kNoValue;
};

// Per factor, one detail per site, parallel to the factor records; empty for
// a factor read from a TF file.
using TSiteDetails = std::vector<std::vector<TSiteDetail>>;

enum class SiteFormat { kFimo, kBed, kGff3 };

// A row of the alignment placed in genome coordinates: its first residue is
// at 1-based position `start` of `chrom`; with `minus` the row is written on
// the reverse strand, so its positions run down the chromosome.
struct SiteOrigin {
  std::string row;
  std::string chrom;
  std::int64_t start = 1;
  bool minus = false;
};

// Parses NAME=CHROM:START[:-] (":+" is allowed too); nothing when the text
// has another shape or START is not a whole number of at least 1.
std::optional<SiteOrigin> ParseSiteOrigin(std::string_view text);

struct SiteImportOptions {
  std::vector<SiteOrigin> origins;
  // Hits above a maximum or below the minimum are left out; a hit without
  // the value a filter needs is kept and counted in one message per file.
  std::optional<double> max_p;
  std::optional<double> max_q;
  std::optional<double> min_score;
};

// The format of a site file: by its first line that is not empty (a FIMO
// header, a GFF3 version directive, a BED track or browser line), else by
// the path's extension (.tsv .txt: FIMO; .bed; .gff .gff3), else by the
// shape of that line (nine tab-separated fields: GFF3; six or more with
// numbers in the second and third: BED). Nothing when none fits.
std::optional<SiteFormat> DetectSiteFormat(std::string_view content,
                                           std::string_view path);

// Reads the site file at `path` and merges its hits into `factors`: a hit
// joins the factor of its motif name that an earlier import made (one whose
// `details` entry is not empty), else a new factor appended in order of
// first hit and coloured by its index. A sequence name is matched exactly,
// then against the first word of each row's name; a hit on an origin's
// chromosome is mapped through that origin. A minus-strand hit's letters
// are stored as their reverse complement, as the row reads them. Each line
// with a problem is reported as "path:line: reason" and skipped; the rest is
// read. `details` is kept parallel to `factors` (grown with empty entries).
// Linear in the file's size plus the alignment's. Returns the number of
// sites added. A file that cannot be opened reads as an empty one.
std::size_t ImportSiteFile(const std::string& path, const TSeqSet& alignment,
                           const SiteImportOptions& options, TaTFSet& factors,
                           TSiteDetails& details, MessageSink& sink);

// The same on a file's content; `path` only names it in messages and gives
// its extension.
std::size_t ImportSiteText(std::string_view content, const std::string& path,
                           const TSeqSet& alignment,
                           const SiteImportOptions& options, TaTFSet& factors,
                           TSiteDetails& details, MessageSink& sink);

// `letters` read on the other strand: reversed, with A/C/G/T/U and their
// lower-case forms complemented; every other byte stays as it is.
std::string ReverseComplement(std::string_view letters);

// The row of `alignment` that `name` names: the first whose SeqName equals
// it, else the first whose name's first word (blanks and tabs separate
// words) equals it; nothing when none does.
std::optional<std::size_t> FindRowByName(const TSeqSet& alignment,
                                         std::string_view name);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_SITE_IMPORT_H_
