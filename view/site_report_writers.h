// The site report as files: a TSV table, a JSON document, and BED6 tracks
// of the conserved sites for genome browsers and bedtools.
#ifndef TESSARIN_VIEW_SITE_REPORT_WRITERS_H_
#define TESSARIN_VIEW_SITE_REPORT_WRITERS_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/seq_set.h"
#include "sources/site_import.h"
#include "view/site_report.h"

namespace tessarin {

enum class ReportFormat { kTsv, kJson };

// The format a report file's name asks for: .tsv or .txt gives TSV, .json
// JSON (any case); nothing for any other name.
std::optional<ReportFormat> ReportFormatForPath(std::string_view path);

// The report's column names, in order; the TSV header and the JSON keys.
const std::vector<std::string_view>& ReportColumns();

// Column `column` of `row` as text (numbers plain, reals as the shortest
// text that reads back to the same value); nothing for a value the row does
// not have.
std::optional<std::string> ReportCell(const SiteReportRow& row,
                                      std::size_t column);
// Whether a column holds numbers (JSON numbers, sorted by value).
bool IsNumberColumn(std::size_t column);

// One line per kept row under a header line of ReportColumns, separated by
// tabs. Numbers are written plainly (reals as the shortest text that reads
// back to the same value); a value the row does not have is an empty cell;
// tabs and line breaks inside names become blanks.
void WriteReportTsv(const SiteReport& report, const ReportFilter& filter,
                    std::ostream& out);

// {"sites": [one object per kept row, with the keys of ReportColumns],
//  "summary": [one object per factor]}; a value the row does not have is
// null. Byte strings as in every JSON document of the project.
void WriteReportJson(const SiteReport& report, const ReportFilter& filter,
                     std::ostream& out);

// One BED6 track per row of the alignment: the kept rows of the report that
// lie at least partly in conserved windows, sorted by start. The chromosome
// is the first word of the row's name and the positions are the row's
// gapless ones, 0-based half-open; an origin for the row (as --origin
// gives it) turns them into genome coordinates instead, its chromosome and,
// on a reverse-strand row, the strand flipped. The name is the factor, the
// score 1000 times the share of the site's columns in conserved windows.
struct BedTrack {
  std::string file_name;  // "<row>.bed", made safe as a file name and unique
  std::string text;
};
std::vector<BedTrack> ReportBedTracks(const SiteReport& report,
                                      const ReportFilter& filter,
                                      const TSeqSet& alignment,
                                      const std::vector<SiteOrigin>& origins);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_SITE_REPORT_WRITERS_H_
