// GFF3 features as sites: nine tab-separated columns (seqid source type
// start end score strand phase attributes). Positions are 1-based and
// closed. The factor is the feature's Name attribute, else its ID, else its
// type. '#' lines are comments or directives; "##FASTA" ends the features.
#ifndef TESSARIN_SOURCES_GFF3_SITES_H_
#define TESSARIN_SOURCES_GFF3_SITES_H_

#include <string>
#include <string_view>

#include "sources/scanner_hit.h"

namespace tessarin {

// Whether `line` is the GFF3 version directive ("##gff-version 3").
bool IsGff3Header(std::string_view line);

// Reads a GFF3 file line by line. The attribute values it decodes (%XX
// escapes) are kept until the next line is read.
class Gff3Reader {
 public:
  SiteLine Read(std::string_view line);

 private:
  bool in_fasta_ = false;
  std::string factor_;
};

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_GFF3_SITES_H_
