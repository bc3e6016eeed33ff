// What a document says about where it came from: its title, the input files
// with their sizes and digests, the criteria and cut-offs, the program and
// the date. Plain data that the document writers print.
#ifndef TESSARIN_VIEW_PROVENANCE_H_
#define TESSARIN_VIEW_PROVENANCE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

inline constexpr std::string_view kProgramName = "Tessarin";
inline constexpr std::string_view kProgramVersion = "0.01";
inline constexpr std::string_view kConservedRule =
    "a window is conserved when every chosen score is below its cut-off";

// The roles of the three inputs, in the order a provenance lists them.
inline constexpr std::string_view kAlignmentRole = "alignment";
inline constexpr std::string_view kSitesRole = "sites";
inline constexpr std::string_view kConservationRole = "conservation";

struct ProvenanceInput {
  std::string role;  // kAlignmentRole, kSitesRole or kConservationRole
  std::string path;
  std::optional<std::uint64_t> size;  // bytes; nothing when unknown
  std::string sha256;  // lower-case hex; empty when the file could not be read
};

struct ProvenanceScore {
  std::string name;
  bool chosen = false;  // whether it counts as a criterion
  std::string cutoff;   // as the cut-off field shows it, empty when none
};

struct Provenance {
  std::string title;
  std::vector<ProvenanceInput> inputs;
  // How the conservation data was computed from the alignment, when it was
  // ("windows of 100 columns, step 1"); empty when it was read from a file.
  std::string computed_conservation;
  std::vector<ProvenanceScore> scores;
  std::string program;  // kProgramName, a blank and kProgramVersion
  std::string date;     // ISO 8601 UTC, e.g. 2026-12-08T15:04:05Z
};

// The date a document carries, as ISO 8601 UTC to the second: the time in
// SOURCE_DATE_EPOCH when it is set to a non-negative decimal integer of
// seconds that names a representable date, so that two runs on the same
// inputs give the same bytes; otherwise the current time.
std::string DocumentDate();

// The file name of `path` without its folders: "data/promoter.fas" gives
// "promoter.fas".
std::string TitleFromPath(std::string_view path);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_PROVENANCE_H_
