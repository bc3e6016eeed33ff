// BED tracks of six or more columns: chrom chromStart chromEnd name score
// strand. Positions are 0-based and half-open (chromStart is the first base,
// chromEnd the one after the last); "track" and "browser" lines, '#'
// comments and empty lines hold no hit.
#ifndef TESSARIN_SOURCES_BED_SITES_H_
#define TESSARIN_SOURCES_BED_SITES_H_

#include <string_view>

#include "sources/scanner_hit.h"

namespace tessarin {

// Whether `line` is one of BED's own header lines ("track", "browser").
bool IsBedHeader(std::string_view line);

// One line of a BED file. Fields are split at tabs when the line has one,
// otherwise at runs of blanks.
SiteLine ReadBedLine(std::string_view line);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_BED_SITES_H_
