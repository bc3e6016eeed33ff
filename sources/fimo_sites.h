// FIMO's tab-separated hits: the current header (motif_id motif_alt_id
// sequence_name start stop strand score p-value q-value matched_sequence,
// with or without a leading '#') and the older one that begins
// "#pattern name". Positions are 1-based and closed.
#ifndef TESSARIN_SOURCES_FIMO_SITES_H_
#define TESSARIN_SOURCES_FIMO_SITES_H_

#include <cstddef>
#include <string_view>

#include "sources/scanner_hit.h"

namespace tessarin {

// Whether `line` is a FIMO header line.
bool IsFimoHeader(std::string_view line);

// Reads a FIMO file line by line. A header line fixes which column holds
// what for the lines after it; every other line is a hit, a '#' comment or
// empty.
class FimoReader {
 public:
  SiteLine Read(std::string_view line);

 private:
  static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
  SiteLine ReadHeader(std::string_view line);
  SiteLine ReadHit(std::string_view line) const;

  bool have_header_ = false;
  std::size_t columns_ = 0;  // fields of the header, and of every hit
  std::size_t used_ = 0;     // fields up to the last column read
  std::size_t motif_id_ = kAbsent;
  std::size_t motif_alt_id_ = kAbsent;
  std::size_t sequence_name_ = kAbsent;
  std::size_t start_ = kAbsent;
  std::size_t stop_ = kAbsent;
  std::size_t strand_ = kAbsent;
  std::size_t score_ = kAbsent;
  std::size_t p_value_ = kAbsent;
  std::size_t q_value_ = kAbsent;
  std::size_t matched_sequence_ = kAbsent;
};

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_FIMO_SITES_H_
