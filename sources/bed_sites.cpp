#include "sources/bed_sites.h"

#include <vector>

namespace tessarin {

namespace {

constexpr std::size_t kBedColumns = 6;

bool StartsWithWord(std::string_view line, std::string_view word) {
  return line.substr(0, word.size()) == word &&
         (line.size() == word.size() || line[word.size()] == ' ' ||
          line[word.size()] == '\t');
}

}  // namespace

bool IsBedHeader(std::string_view line) {
  return StartsWithWord(line, "track") || StartsWithWord(line, "browser");
}

SiteLine ReadBedLine(std::string_view line) {
  if (line.find_first_not_of(" \t") == std::string_view::npos ||
      line.front() == '#' || IsBedHeader(line)) {
    return SiteLine::Nothing();
  }
  const std::vector<std::string_view> fields =
      line.find('\t') != std::string_view::npos
          ? SplitTabs(line, kBedColumns)
          : SplitBlanks(line, kBedColumns);
  if (fields.size() < kBedColumns) {
    return SiteLine::Problem(ColumnCountProblem("at least 6", fields.size()));
  }
  ScannerHit hit;
  hit.sequence = fields[0];
  const std::optional<std::int64_t> chrom_start = ParseWhole(fields[1]);
  if (!chrom_start)
    return SiteLine::Problem("chromStart is not a whole number");
  const std::optional<std::int64_t> chrom_end = ParseWhole(fields[2]);
  if (!chrom_end) return SiteLine::Problem("chromEnd is not a whole number");
  hit.first = *chrom_start + 1;
  hit.last = *chrom_end;
  hit.motif = fields[3];
  const std::optional<double> score = ParseValue(fields[4], ".");
  if (!score) return SiteLine::Problem("score is not a number");
  hit.score = *score;
  const std::string_view strand = fields[5];
  if (strand != "+" && strand != "-" && strand != ".") {
    return SiteLine::Problem("strand is not +, - or .");
  }
  hit.strand = strand.front();
  return SiteLine::Hit(hit);
}

}  // namespace tessarin
