// What kind of input file a file is, told from its content: the window takes
// dropped files by this, whatever their names.
#ifndef TESSARIN_SOURCES_INPUT_KIND_H_
#define TESSARIN_SOURCES_INPUT_KIND_H_

#include <optional>
#include <string_view>

namespace tessarin {

enum class InputKind {
  kAlignment,     // FASTA, Clustal or Stockholm
  kTf,            // a TF file
  kConservation,  // a conservation file
  kSites,         // a FIMO, BED or GFF3 site file
};

// The kind of the file whose content begins with `head` (the first few
// kilobytes are enough): an alignment by its first line that is not empty
// ('>', "CLUSTAL", "# STOCKHOLM"), a TF or conservation file by a "[TF]" or
// "[SCORES]" section line, a site file as DetectSiteFormat tells it from
// the content alone (the name is not asked). Nothing when none fits.
std::optional<InputKind> RecogniseInput(std::string_view head);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_INPUT_KIND_H_
