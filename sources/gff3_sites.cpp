#include "sources/gff3_sites.h"

#include <vector>

namespace tessarin {

namespace {

constexpr std::size_t kGff3Columns = 9;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `value` with its %XX escapes decoded; a '%' not followed by two hex digits
// stays as it is.
std::string Unescape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() &&
        HexDigit(value[i + 1]) >= 0 && HexDigit(value[i + 2]) >= 0) {
      text += static_cast<char>(HexDigit(value[i + 1]) * 16 +
                                HexDigit(value[i + 2]));
      i += 2;
      continue;
    }
    text += value[i];
  }
  return text;
}

// The value of attribute `tag` in the ';'-separated tag=value list, or
// nothing when the list has no such tag.
std::optional<std::string_view> Attribute(std::string_view attributes,
                                          std::string_view tag) {
  while (!attributes.empty()) {
    const std::size_t end = attributes.find(';');
    std::string_view pair = attributes.substr(0, end);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    if (pair.size() > tag.size() && pair.substr(0, tag.size()) == tag &&
        pair[tag.size()] == '=') {
      return pair.substr(tag.size() + 1);
    }
    if (end == std::string_view::npos) break;
    attributes.remove_prefix(end + 1);
  }
  return std::nullopt;
}

}  // namespace

bool IsGff3Header(std::string_view line) {
  return line.substr(0, 13) == "##gff-version";
}

SiteLine Gff3Reader::Read(std::string_view line) {
  if (in_fasta_) return SiteLine::Nothing();
  if (line.substr(0, 7) == "##FASTA") {
    in_fasta_ = true;
    return SiteLine::Nothing();
  }
  if (line.find_first_not_of(" \t") == std::string_view::npos ||
      line.front() == '#') {
    return SiteLine::Nothing();
  }
  const std::size_t count = CountTabFields(line);
  if (count != kGff3Columns) {
    return SiteLine::Problem(ColumnCountProblem("9", count));
  }
  const std::vector<std::string_view> fields = SplitTabs(line, kGff3Columns);
  ScannerHit hit;
  hit.sequence = fields[0];
  const std::optional<std::int64_t> start = ParseWhole(fields[3]);
  if (!start) return SiteLine::Problem("start is not a whole number");
  const std::optional<std::int64_t> end = ParseWhole(fields[4]);
  if (!end) return SiteLine::Problem("end is not a whole number");
  hit.first = *start;
  hit.last = *end;
  const std::optional<double> score = ParseValue(fields[5], ".");
  if (!score) return SiteLine::Problem("score is not a number");
  hit.score = *score;
  const std::string_view strand = fields[6];
  if (strand != "+" && strand != "-" && strand != "." && strand != "?") {
    return SiteLine::Problem("strand is not +, -, . or ?");
  }
  hit.strand = strand == "?" ? '.' : strand.front();
  std::optional<std::string_view> factor = Attribute(fields[8], "Name");
  if (!factor) factor = Attribute(fields[8], "ID");
  factor_ = factor ? Unescape(*factor) : std::string(fields[2]);
  hit.motif = factor_;
  return SiteLine::Hit(hit);
}

}  // namespace tessarin
