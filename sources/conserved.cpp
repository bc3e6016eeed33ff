#include "sources/conserved.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "sources/conservation_format.h"
#include "sources/key_value.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace tessarin {
namespace {

namespace cf = conservation_format;

// A window table is filled out to NScores + 2 cells per row, repeating a
// short row's last field. A row that really holds its fields spends at least
// two bytes per cell, so a table asking for more than this many cells per
// byte of its rows consists mostly of missing fields; filling it out could
// cost memory quadratic in the file size (many scores times many short
// rows), so it is refused instead.
constexpr std::size_t kCellsPerTableByte = 4;

bool IsCommentLine(std::string_view line) {
  return !line.empty() && line.front() == cf::kCommentMark;
}

// The score block: false when the file has none.
bool FindScoreBlock(const Ttf& file, LineBlock& block) {
  if (file.LastIndex() < 0) return false;
  block = file.FindBlock(cf::kBlockHeader, cf::kBlockEnd, 0,
                         static_cast<std::size_t>(file.LastIndex()),
                         /*whole_line=*/true, /*case_sensitive=*/false);
  return block.start != 0 || block.end != 0;
}

// Sets ScoreNames and NScores from the first "ScoreNames =" line at or after
// `line`, and moves `line` to it.
bool ReadScoreNames(const Ttf& file, std::size_t& line, TConserved& data,
                    MessageSink& sink) {
  const KeyHit hit = file.FindFirstKey(cf::kScoreNamesKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kScoreNamesNotFound);
    return false;
  }
  const std::string value =
      KeyValue(file, hit, cf::kScoreNamesKey, cf::kValueJunk);
  if (value.empty()) {
    sink.Show(cf::kNoScoreNames);
    return false;
  }
  data.ScoreNames = SplitByChar(value, cf::kNameSeparator);
  data.NScores = static_cast<std::int32_t>(data.ScoreNames.size());
  line = hit.line;
  return true;
}

// Reads the statistics count S from the first "NSummaryStats =" line at or
// after `line`, and moves `line` to it.
bool ReadStatsCount(const Ttf& file, std::size_t& line, std::uint64_t& count,
                    MessageSink& sink) {
  const KeyHit hit = file.FindFirstKey(cf::kNSummaryStatsKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kStatsCountNotFound);
    return false;
  }
  const std::string value =
      KeyValue(file, hit, cf::kNSummaryStatsKey, cf::kValueJunk);
  const std::optional<std::int64_t> parsed = ParseInteger(value);
  if (!parsed.has_value() || *parsed < 0) {
    sink.Show(std::string(cf::kBadStatsCount) + value);
    return false;
  }
  count = static_cast<std::uint64_t>(*parsed);
  line = hit.line;
  return true;
}

// Reads one statistics row into entry `index`; a comment row leaves the
// entry as it was.
bool ReadStatsRow(const std::string& row, std::size_t index,
                  std::size_t n_scores, TConserved& data, MessageSink& sink) {
  if (IsCommentLine(row)) return true;
  // Normalised rows hold one blank between neighbouring fields, so the
  // fields are counted without cutting a row of a million of them up.
  const std::size_t fields =
      row.empty() ? 0 : CountChar(cf::kFieldSeparator, row) + 1;
  if (fields != n_scores + 1) {
    sink.Show(cf::kBadStatsSection);
    return false;
  }
  const AString parts = SplitByChar(row, cf::kFieldSeparator);
  data.StatNames[index] = parts[0];
  AExt& values = data.Stats[index];
  values.resize(n_scores);
  for (std::size_t j = 1; j <= n_scores; ++j) {
    const std::optional<long double> value = ParseReal(parts[j]);
    if (!value.has_value()) {
      sink.Show(std::string(cf::kBadStatsValue) + parts[j]);
      return false;
    }
    values[j - 1] = *value;
  }
  return true;
}

// Finds "[[STATS]]" at or after `line` and reads the `count` rows after it
// (and after its comment line, if any); moves `line` to the "[[STATS]]" line
// or its comment line.
bool ReadStats(const Ttf& file, std::size_t& line, std::uint64_t count,
               TConserved& data, MessageSink& sink) {
  const KeyHit hit = file.FindFirstKey(cf::kStatsKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kStatsNotFound);
    return false;
  }
  const AString& lines = file.Lines();
  std::size_t before_rows = hit.line;
  if (before_rows + 1 < lines.size() && IsCommentLine(lines[before_rows + 1])) {
    ++before_rows;
  }
  // Every row must be a line of the file. Checked before anything grows, so
  // that a huge count read from a small file allocates nothing.
  const std::size_t rows_left = lines.size() - 1 - before_rows;
  if (count > rows_left) {
    sink.Show(cf::kBadStatsSection);
    return false;
  }
  const auto n_rows = static_cast<std::size_t>(count);
  data.StatNames.resize(n_rows);
  data.Stats.resize(n_rows);
  for (std::size_t i = 0; i < n_rows; ++i) {
    if (!ReadStatsRow(lines[before_rows + 1 + i], i, data.ScoreNames.size(),
                      data, sink)) {
      return false;
    }
  }
  line = before_rows;
  return true;
}

// Whether lines[first..last], filled out to `width` columns, has all of them
// and stays within the memory budget of kCellsPerTableByte.
bool TableHasScoreColumns(const AString& lines, std::size_t first,
                          std::size_t last, std::size_t width) {
  std::size_t widest = 0;
  std::size_t bytes = 0;
  for (std::size_t i = first; i <= last; ++i) {
    widest = std::max(widest, CountChar(cf::kFieldSeparator, lines[i]) + 1);
    bytes += lines[i].size() + 1;  // with its line end
  }
  const std::size_t rows = last - first + 1;
  return widest >= width && rows <= kCellsPerTableByte * bytes / width;
}

// Finds "[[TABLE]]" at or after `line` and sets `first` to the first table
// row: the line after it, or after its comment line.
bool FindTableRows(const Ttf& file, std::size_t line, std::size_t block_end,
                   std::size_t& first, MessageSink& sink) {
  const KeyHit hit = file.FindFirstKey(cf::kTableKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kTableNotFound);
    return false;
  }
  const AString& lines = file.Lines();
  first = hit.line + 1;
  if (first < lines.size() && IsCommentLine(lines[first])) ++first;
  if (first >= block_end) {
    sink.Show(cf::kEmptyTable);
    return false;
  }
  return true;
}

// Reads the table rows lines[first..last] into WinStart, WinEnd and Scores.
bool ReadTableRows(const AString& lines, std::size_t first, std::size_t last,
                   TConserved& data, MessageSink& sink) {
  const std::size_t n_scores = data.ScoreNames.size();
  // Window start, window end and one column per score; wider rows are not
  // cut up beyond these.
  const std::size_t width = n_scores + 2;
  if (!TableHasScoreColumns(lines, first, last, width)) {
    sink.Show(cf::kBadScoreColumns);
    return false;
  }
  AAString columns =
      SplitColumns(lines, first, last, cf::kFieldSeparator, width);
  const std::size_t windows = columns[0].size();

  const std::int64_t ml = FindName(data.ScoreNames, cf::kMLName, 0);
  if (ml >= 0) {
    ReplaceInRange(columns[static_cast<std::size_t>(ml) + 2], cf::kNotAvailable,
                   cf::kNotAvailableValue, 0, windows - 1);
  }
  // Both window columns are converted (and stored) before either is judged.
  const std::size_t bad_starts = TextsToInts(columns[0], data.WinStart);
  const std::size_t bad_ends = TextsToInts(columns[1], data.WinEnd);
  if (bad_starts + bad_ends != 0) {
    sink.Show(cf::kBadWindowColumns);
    return false;
  }
  data.Scores.resize(n_scores);
  std::size_t bad_scores = 0;
  for (std::size_t j = 0; j < n_scores; ++j) {
    bad_scores += TextsToReals(columns[j + 2], data.Scores[j]);
    AString().swap(columns[j + 2]);  // its texts are no longer needed
  }
  if (bad_scores != 0) {
    sink.Show(cf::kBadScoreColumns);
    return false;
  }
  return true;
}

// Cutoffs := the first statistics row named "Thresh", one value per score.
void ReadCutoffs(TConserved& data, MessageSink& sink) {
  const std::int64_t row = FindName(data.StatNames, cf::kThreshName, 0);
  if (row < 0 || static_cast<std::size_t>(row) >= data.Stats.size()) {
    sink.Show(cf::kNoThresh);
    return;
  }
  AExt cutoffs = data.Stats[static_cast<std::size_t>(row)];
  // A "Thresh" row left from an earlier reading (its line now a comment)
  // may hold another number of values.
  cutoffs.resize(data.ScoreNames.size());
  data.Cutoffs = std::move(cutoffs);
}

}  // namespace

void ReadConservation(const std::string& path, TConserved& data,
                      MessageSink& sink) {
  Ttf file;
  file.LoadFromFile(path);
  ReadConservationLines(file, data, sink);
}

void ReadConservationLines(Ttf& file, TConserved& data, MessageSink& sink) {
  file.NormalizeLines(kBlankDelimiters);
  LineBlock block;
  if (!FindScoreBlock(file, block)) {
    sink.Show(cf::kNoBlock);
    return;
  }
  // Each key is searched from the line where the previous one was found.
  std::size_t line = block.start;
  std::uint64_t stats_count = 0;
  if (!ReadScoreNames(file, line, data, sink)) return;
  if (!ReadStatsCount(file, line, stats_count, sink)) return;
  if (!ReadStats(file, line, stats_count, data, sink)) return;
  std::size_t first_row = 0;
  if (!FindTableRows(file, line, block.end, first_row, sink)) return;
  if (!ReadTableRows(file.Lines(), first_row, block.end - 1, data, sink)) {
    return;
  }
  ReadCutoffs(data, sink);
}

std::int64_t FindName(const AString& list, std::string_view name,
                      std::size_t start) {
  if (name.empty()) return -1;
  for (std::size_t i = start; i < list.size(); ++i) {
    if (list[i] == name) return static_cast<std::int64_t>(i);
  }
  return -1;
}

std::size_t ReplaceInRange(AString& list, std::string_view old_text,
                           std::string_view new_text, std::size_t first,
                           std::size_t last) {
  if (old_text.empty() || first >= list.size() || first > last) return 0;
  last = std::min(last, list.size() - 1);
  std::size_t replaced = 0;
  for (std::size_t i = first; i <= last; ++i) {
    if (list[i] != old_text) continue;
    list[i] = new_text;
    ++replaced;
  }
  return replaced;
}

}  // namespace tessarin
