#include "sources/fimo_sites.h"

#include <algorithm>
#include <string>

namespace tessarin {

namespace {

// The header's column name with a leading '#' dropped and blanks written as
// '_', so that the older header's "sequence name" reads as "sequence_name".
std::string ColumnName(std::string_view field, bool first) {
  if (first && !field.empty() && field.front() == '#') field.remove_prefix(1);
  std::string name(field);
  for (char& c : name) {
    if (c == ' ') c = '_';
  }
  return name;
}

// A number column's value; the problem names the column as the header does.
bool ReadNumber(const std::vector<std::string_view>& fields, std::size_t at,
                std::string_view column, double& value, std::string& problem) {
  if (at >= fields.size()) return true;
  const std::optional<double> parsed = ParseValue(fields[at], "");
  if (!parsed) {
    problem = std::string(column) + " is not a number";
    return false;
  }
  value = *parsed;
  return true;
}

}  // namespace

bool IsFimoHeader(std::string_view line) {
  const std::string first = ColumnName(line.substr(0, line.find('\t')), true);
  return first == "motif_id" || first == "pattern_name";
}

SiteLine FimoReader::Read(std::string_view line) {
  if (line.empty()) return SiteLine::Nothing();
  // A header further down (FIMO files joined one after another) starts
  // over with its own columns.
  if (IsFimoHeader(line)) return ReadHeader(line);
  if (line.front() == '#') return SiteLine::Nothing();
  if (!have_header_) {
    return SiteLine::Problem("no FIMO header line before this line");
  }
  return ReadHit(line);
}

SiteLine FimoReader::ReadHeader(std::string_view line) {
  *this = FimoReader();
  const std::vector<std::string_view> fields = SplitTabs(line);
  columns_ = CountTabFields(line);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string name = ColumnName(fields[i], i == 0);
    std::size_t* column = nullptr;
    if (name == "motif_id" || name == "pattern_name") column = &motif_id_;
    if (name == "motif_alt_id") column = &motif_alt_id_;
    if (name == "sequence_name") column = &sequence_name_;
    if (name == "start") column = &start_;
    if (name == "stop") column = &stop_;
    if (name == "strand") column = &strand_;
    if (name == "score") column = &score_;
    if (name == "p-value") column = &p_value_;
    if (name == "q-value") column = &q_value_;
    if (name == "matched_sequence") column = &matched_sequence_;
    if (column != nullptr && *column == kAbsent) {
      *column = i;
      used_ = std::max(used_, i + 1);
    }
  }
  if (sequence_name_ == kAbsent || start_ == kAbsent || stop_ == kAbsent) {
    return SiteLine::Problem("FIMO header lacks sequence_name, start or stop");
  }
  have_header_ = true;
  return SiteLine::Nothing();
}

SiteLine FimoReader::ReadHit(std::string_view line) const {
  const std::size_t count = CountTabFields(line);
  if (count != columns_) {
    return SiteLine::Problem(
        ColumnCountProblem(std::to_string(columns_), count));
  }
  const std::vector<std::string_view> fields = SplitTabs(line, used_);
  ScannerHit hit;
  hit.motif = fields[motif_id_];
  if (motif_alt_id_ != kAbsent && !fields[motif_alt_id_].empty()) {
    hit.motif = fields[motif_alt_id_];
  }
  hit.sequence = fields[sequence_name_];
  const std::optional<std::int64_t> start = ParseWhole(fields[start_]);
  if (!start) return SiteLine::Problem("start is not a whole number");
  const std::optional<std::int64_t> stop = ParseWhole(fields[stop_]);
  if (!stop) return SiteLine::Problem("stop is not a whole number");
  hit.first = *start;
  hit.last = *stop;
  if (strand_ != kAbsent) {
    const std::string_view strand = fields[strand_];
    if (strand != "+" && strand != "-" && strand != ".") {
      return SiteLine::Problem("strand is not +, - or .");
    }
    hit.strand = strand.front();
  }
  std::string problem;
  if (!ReadNumber(fields, score_, "score", hit.score, problem) ||
      !ReadNumber(fields, p_value_, "p-value", hit.p_value, problem) ||
      !ReadNumber(fields, q_value_, "q-value", hit.q_value, problem)) {
    return SiteLine::Problem(problem);
  }
  if (matched_sequence_ != kAbsent) hit.letters = fields[matched_sequence_];
  return SiteLine::Hit(hit);
}

}  // namespace tessarin
