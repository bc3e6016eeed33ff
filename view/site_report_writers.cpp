#include "view/site_report_writers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "view/json_writer.h"

namespace tessarin {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

// The shortest text that reads back to `value`.
std::string Real(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A name as one TSV cell: tabs and line breaks become blanks.
// Turns the tabs and line ends of text[from..] into spaces, so that a cell
// stays one cell of one line.
void CleanCell(std::string& text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\t' || text[i] == '\n' || text[i] == '\r') text[i] = ' ';
  }
}

std::string Cell(std::string_view text) {
  std::string cell(text);
  CleanCell(cell, 0);
  return cell;
}

}  // namespace

std::optional<std::string> ReportCell(const SiteReportRow& row,
                                      std::size_t column) {
  using Value = std::optional<std::string>;
  auto number = [](const auto& value) -> Value {
    return value ? Value(std::to_string(*value)) : std::nullopt;
  };
  const bool placed = row.Placed();
  auto placed_number = [&](std::uint64_t value) -> Value {
    return placed ? Value(std::to_string(value)) : std::nullopt;
  };
  switch (column) {
    case 0:
      return row.factor_name;
    case 1:
      return row.sequence;
    case 2:
      return std::string(1, row.strand);
    case 3:
      return number(row.start);
    case 4:
      return number(row.end);
    case 5:
      return placed_number(row.first_column);
    case 6:
      return placed_number(row.last_column);
    case 7:
      return row.letters;
    case 8:
      return number(row.matches);
    case 9:
      return number(row.mismatches);
    case 10:
      return std::isnan(row.score) ? std::nullopt : Value(Real(row.score));
    case 11:
      return std::isnan(row.p_value) ? std::nullopt : Value(Real(row.p_value));
    case 12:
      return placed_number(row.conserved_columns);
    case 13:
      return placed ? Value(std::string(InConservedName(row.in_conserved)))
                    : std::nullopt;
    case 14:
      return placed_number(row.shared_by);
    case 15:
      return placed_number(row.identical_in);
    case 16:
      return std::to_string(row.rows);
    case 17:
      return placed ? std::nullopt
                    : Value(std::string(UnplacedReasonText(*row.unplaced)));
    default:
      return std::nullopt;
  }
}

bool IsNumberColumn(std::size_t column) {
  return (column >= 3 && column <= 6) || (column >= 8 && column <= 12) ||
         (column >= 14 && column <= 16);
}

namespace {

// The first word of a row's name: what a BED chromosome may hold.
std::string FirstWord(std::string_view name) {
  const std::size_t end = name.find_first_of(" \t");
  return std::string(name.substr(0, end));
}

// A row's name made safe as a file name of its own.
std::string SafeFileName(std::string_view name) {
  std::string safe;
  for (const char c : name) {
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                      (c >= '0' && c <= '9') || c == '.' || c == '_' ||
                      c == '-';
    safe += keep ? c : '_';
  }
  if (safe.empty() || safe.front() == '.') safe.insert(safe.begin(), '_');
  return safe;
}

}  // namespace

std::optional<ReportFormat> ReportFormatForPath(std::string_view path) {
  const std::string lower = Lower(path);
  if (EndsWith(lower, ".tsv") || EndsWith(lower, ".txt")) {
    return ReportFormat::kTsv;
  }
  if (EndsWith(lower, ".json")) return ReportFormat::kJson;
  return std::nullopt;
}

const std::vector<std::string_view>& ReportColumns() {
  static const std::vector<std::string_view> columns = {"factor",
                                                        "sequence",
                                                        "strand",
                                                        "start",
                                                        "end",
                                                        "first_column",
                                                        "last_column",
                                                        "letters",
                                                        "matches",
                                                        "mismatches",
                                                        "score",
                                                        "p_value",
                                                        "conserved_columns",
                                                        "in_conserved",
                                                        "shared_by",
                                                        "identical_in",
                                                        "rows",
                                                        "reason"};
  return columns;
}

void WriteReportTsv(const SiteReport& report, const ReportFilter& filter,
                    std::ostream& out) {
  const auto& columns = ReportColumns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    out << (c == 0 ? "" : "\t") << columns[c];
  }
  out << '\n';
  // Each line is put together first and written in one piece: a stream
  // call per cell cost more than making the cells.
  std::string line;
  for (const SiteReportRow& row : report.rows) {
    if (!Keeps(filter, row)) continue;
    line.clear();
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) line += '\t';
      if (const auto cell = ReportCell(row, c)) {
        const std::size_t at = line.size();
        line += *cell;
        CleanCell(line, at);
      }
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

void WriteReportJson(const SiteReport& report, const ReportFilter& filter,
                     std::ostream& out) {
  const auto& columns = ReportColumns();
  // Each site's object is written as the JSON library writes a flat object
  // (keys in column order, no spaces), but without building one: the keys
  // are written once, and only values that need it go through the library.
  std::vector<std::string> keys;
  for (const std::string_view column : columns) {
    keys.push_back(nlohmann::ordered_json(std::string(column)).dump() + ":");
  }
  std::string scratch;
  std::string line;
  out << "{\n  \"sites\": [";
  bool first = true;
  for (const SiteReportRow& row : report.rows) {
    if (!Keeps(filter, row)) continue;
    line.assign(first ? "\n    {" : ",\n    {");
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) line += ',';
      line += keys[c];
      const std::optional<std::string> cell = ReportCell(row, c);
      if (!cell) {
        line += "null";
      } else if (IsNumberColumn(c)) {
        // A count as written by std::to_string reads and writes back as it
        // stands; anything else (a sign, a fraction) goes through the library.
        const bool count =
            !cell->empty() && cell->size() < 20 &&
            (cell->front() != '0' || cell->size() == 1) &&
            cell->find_first_not_of("0123456789") == std::string::npos;
        line += count ? *cell : nlohmann::ordered_json::parse(*cell).dump();
      } else {
        BytesToUtf8(*cell, scratch);
        line += nlohmann::ordered_json(scratch).dump();
      }
    }
    line += '}';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    first = false;
  }
  out << (first ? "],\n" : "\n  ],\n") << "  \"summary\": [";
  first = true;
  for (const FactorSummary& summary : report.summary) {
    nlohmann::ordered_json object;
    BytesToUtf8(summary.factor, scratch);
    object["factor"] = scratch;
    object["sites"] = summary.sites;
    object["placed"] = summary.placed;
    object["in_conserved_full"] = summary.full;
    object["in_conserved_partial"] = summary.partial;
    object["shared_by_every_row"] = summary.in_every_row;
    out << (first ? "\n    " : ",\n    ") << object.dump();
    first = false;
  }
  out << (first ? "]\n}\n" : "\n  ]\n}\n");
}

std::vector<BedTrack> ReportBedTracks(const SiteReport& report,
                                      const ReportFilter& filter,
                                      const TSeqSet& alignment,
                                      const std::vector<SiteOrigin>& origins) {
  const std::size_t rows = alignment.Seqs.size();
  // The kept conserved rows of each alignment row, by first column: one
  // counting sort over the columns.
  std::uint64_t length = 0;
  std::vector<const SiteReportRow*> kept;
  for (const SiteReportRow& row : report.rows) {
    if (!row.Placed() || row.in_conserved == InConserved::kNone) continue;
    if (!Keeps(filter, row) || row.seq >= rows) continue;
    kept.push_back(&row);
    length = std::max(length, row.first_column);
  }
  std::vector<std::size_t> start(length + 2, 0);
  for (const SiteReportRow* row : kept) ++start[row->first_column + 1];
  for (std::size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  std::vector<const SiteReportRow*> by_column(kept.size());
  for (const SiteReportRow* row : kept) {
    by_column[start[row->first_column]++] = row;
  }
  std::vector<std::vector<const SiteReportRow*>> per_row(rows);
  for (const SiteReportRow* row : by_column) per_row[row->seq].push_back(row);

  std::vector<const SiteOrigin*> origin_of(rows, nullptr);
  for (const SiteOrigin& origin : origins) {
    if (const auto row = FindRowByName(alignment, origin.row)) {
      origin_of[*row] = &origin;
    }
  }
  std::vector<BedTrack> tracks(rows);
  std::unordered_set<std::string> names;
  for (std::size_t i = 0; i < rows; ++i) {
    const std::string base = SafeFileName(alignment.Seqs[i].SeqName);
    std::string name = base + ".bed";
    for (int n = 2; !names.insert(name).second; ++n) {
      name = base + "_" + std::to_string(n) + ".bed";
    }
    tracks[i].file_name = name;
    const SiteOrigin* origin = origin_of[i];
    const std::string chrom =
        origin ? origin->chrom : FirstWord(alignment.Seqs[i].SeqName);
    std::vector<const SiteReportRow*>& sites = per_row[i];
    // On the reverse strand, later positions lie further down the genome.
    if (origin && origin->minus) std::reverse(sites.begin(), sites.end());
    std::string& text = tracks[i].text;
    for (const SiteReportRow* row : sites) {
      std::int64_t from = *row->start - 1;  // 0-based, half-open
      std::int64_t to = *row->end;
      char strand = row->strand;
      if (origin && !origin->minus) {
        from += origin->start - 1;
        to += origin->start - 1;
      } else if (origin) {
        const std::int64_t down_from = origin->start - *row->end;
        to = origin->start - *row->start + 1;
        from = down_from;
        strand = strand == '+' ? '-' : strand == '-' ? '+' : strand;
      }
      const std::uint64_t width = row->last_column - row->first_column + 1;
      const std::uint64_t score = row->conserved_columns * 1000 / width;
      text += chrom + "\t" + std::to_string(from) + "\t" + std::to_string(to) +
              "\t" + Cell(row->factor_name) + "\t" + std::to_string(score) +
              "\t" + std::string(1, strand) + "\n";
    }
  }
  return tracks;
}

}  // namespace tessarin
