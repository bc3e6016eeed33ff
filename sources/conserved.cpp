#include "sources/conserved.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "sources/conservation_format.h"
#include "sources/key_value.h"
#include "sources/table_row.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace tessarin {
namespace {

namespace cf = conservation_format;

// A window table is filled out to NScores + 2 cells per row, repeating a
// short row's last field, and every score cell becomes a stored value. A row
// that really holds its fields spends at least two bytes per cell, so a
// table asking for more than this many cells per byte of its rows consists
// mostly of missing fields; filling it out could cost memory quadratic in
// the file size (many scores times many short rows), so it is refused
// instead.
constexpr std::size_t kCellsPerTableByte = 4;

bool IsCommentLine(std::string_view line) {
  return !line.empty() && line.front() == cf::kCommentMark;
}

// The score block: false when the file has none.
bool FindScoreBlock(const LineText& text, LineBlock& block) {
  const std::optional<LineBlock> found =
      text.FindBlock(cf::kBlockHeader, cf::kBlockEnd, 0);
  if (!found) return false;
  block = *found;
  return true;
}

// Sets ScoreNames and NScores from the first "ScoreNames =" line at or after
// the line at `line`, and moves `line` to it.
bool ReadScoreNames(const LineText& text, std::size_t& line, TConserved& data,
                    MessageSink& sink) {
  const KeyHit hit = text.FindFirstKey(cf::kScoreNamesKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kScoreNamesNotFound);
    return false;
  }
  const std::string value =
      KeyValue(text, hit, cf::kScoreNamesKey, cf::kValueJunk);
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
// after the line at `line`, and moves `line` to it.
bool ReadStatsCount(const LineText& text, std::size_t& line,
                    std::uint64_t& count, MessageSink& sink) {
  const KeyHit hit = text.FindFirstKey(cf::kNSummaryStatsKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kStatsCountNotFound);
    return false;
  }
  const std::string value =
      KeyValue(text, hit, cf::kNSummaryStatsKey, cf::kValueJunk);
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
bool ReadStatsRow(std::string_view row, std::size_t index, std::size_t n_scores,
                  TConserved& data, MessageSink& sink) {
  if (IsCommentLine(row)) return true;
  // Normalised rows hold one blank between neighbouring fields, so the
  // fields are counted without cutting a row of a million of them up.
  const std::size_t fields =
      row.empty() ? 0 : CountChar(cf::kFieldSeparator, row) + 1;
  if (fields != n_scores + 1) {
    sink.Show(cf::kBadStatsSection);
    return false;
  }
  // The row has exactly its name and one value per score.
  data.StatNames[index] = NextField(row, cf::kFieldSeparator);
  AExt& values = data.Stats[index];
  values.resize(n_scores);
  for (std::size_t j = 0; j < n_scores; ++j) {
    const std::string_view field = NextField(row, cf::kFieldSeparator);
    const std::optional<long double> value = ParseReal(field);
    if (!value.has_value()) {
      sink.Show(std::string(cf::kBadStatsValue) + std::string(field));
      return false;
    }
    values[j] = *value;
  }
  return true;
}

// Finds "[[STATS]]" at or after the line at `line` and reads the `count`
// rows after it (and after its comment line, if any); moves `line` to the
// "[[STATS]]" line or its comment line.
bool ReadStats(const LineText& text, std::size_t& line, std::uint64_t count,
               TConserved& data, MessageSink& sink) {
  const KeyHit hit = text.FindFirstKey(cf::kStatsKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kStatsNotFound);
    return false;
  }
  std::size_t before_rows = hit.line;
  const std::size_t after = text.Next(before_rows);
  if (after < text.End() && IsCommentLine(text.Line(after))) {
    before_rows = after;
  }
  // Every row must be a line of the file. Checked before anything grows, so
  // that a huge count read from a small file allocates nothing.
  const std::size_t first_row = text.Next(before_rows);
  std::size_t row = first_row;
  for (std::uint64_t i = 0; i < count; ++i, row = text.Next(row)) {
    if (row >= text.End()) {
      sink.Show(cf::kBadStatsSection);
      return false;
    }
  }
  const auto n_rows = static_cast<std::size_t>(count);
  data.StatNames.resize(n_rows);
  data.Stats.resize(n_rows);
  row = first_row;
  for (std::size_t i = 0; i < n_rows; ++i, row = text.Next(row)) {
    if (!ReadStatsRow(text.Line(row), i, data.ScoreNames.size(), data, sink)) {
      return false;
    }
  }
  line = before_rows;
  return true;
}

// Whether the rows from the line at `first` to the one before `end`, filled
// out to `width` columns, have all of them and stay within the memory budget
// of kCellsPerTableByte. Counts the rows into `rows`.
bool TableHasScoreColumns(const LineText& text, std::size_t first,
                          std::size_t end, std::size_t width,
                          std::size_t& rows) {
  std::size_t widest = 0;
  std::size_t bytes = 0;
  rows = 0;
  text.ForEachLine(first, end, [&](std::string_view row) {
    widest = std::max(widest, CountChar(cf::kFieldSeparator, row) + 1);
    bytes += row.size() + 1;  // with its line end
    ++rows;
  });
  return widest >= width && rows <= kCellsPerTableByte * bytes / width;
}

// Finds "[[TABLE]]" at or after the line at `line` and sets `first` to the
// first table row: the line after it, or after its comment line.
bool FindTableRows(const LineText& text, std::size_t line,
                   std::size_t block_end, std::size_t& first,
                   MessageSink& sink) {
  const KeyHit hit = text.FindFirstKey(cf::kTableKey, line);
  if (hit.count == 0) {
    sink.Show(cf::kTableNotFound);
    return false;
  }
  first = text.Next(hit.line);
  if (first < text.End() && IsCommentLine(text.Line(first))) {
    first = text.Next(first);
  }
  if (first >= block_end) {
    sink.Show(cf::kEmptyTable);
    return false;
  }
  return true;
}

// Reads the table rows, the lines from the one at `first` to the one before
// `end`, into WinStart, WinEnd and Scores. The cells are converted as the
// rows are walked: no text of a cell is kept, and every array is made at
// its final size.
bool ReadTableRows(const LineText& text, std::size_t first, std::size_t end,
                   TConserved& data, MessageSink& sink) {
  const std::size_t n_scores = data.ScoreNames.size();
  // Window start, window end and one column per score; wider rows are not
  // cut up beyond these.
  const std::size_t width = n_scores + 2;
  std::size_t windows = 0;
  if (!TableHasScoreColumns(text, first, end, width, windows)) {
    sink.Show(cf::kBadScoreColumns);
    return false;
  }

  // Both window columns are converted (and stored) before either is judged;
  // an entry that fails reads as 0, as TextsToInts has it. Each array is
  // filled in place, so reading a file again does not hold two of them.
  ADWord& starts = data.WinStart;
  ADWord& ends = data.WinEnd;
  starts.assign(windows, 0);
  ends.assign(windows, 0);
  std::size_t bad_windows = 0;
  std::size_t w = 0;
  const auto window_column = [&bad_windows](std::string_view field,
                                            std::uint32_t& value) {
    const std::optional<std::int64_t> parsed = ParseInteger(field);
    if (!parsed.has_value()) {
      ++bad_windows;
      return;
    }
    value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(*parsed));
  };
  text.ForEachLine(first, end, [&](std::string_view row) {
    window_column(NextField(row, cf::kFieldSeparator), starts[w]);
    window_column(NextField(row, cf::kFieldSeparator), ends[w]);
    ++w;
  });
  if (bad_windows != 0) {
    sink.Show(cf::kBadWindowColumns);
    return false;
  }

  // In the column of the score named "ML", "N/A" reads as -1; every score
  // column is converted before the check, a failed entry reading as 0.
  const std::int64_t ml = FindName(data.ScoreNames, cf::kMLName, 0);
  AAExt& scores = data.Scores;
  scores.resize(n_scores);
  for (AExt& column : scores) column.assign(windows, 0.0L);
  std::size_t bad_scores = 0;
  w = 0;
  text.ForEachLine(first, end, [&](std::string_view row) {
    NextField(row, cf::kFieldSeparator);  // the window's first column
    NextField(row, cf::kFieldSeparator);  // and its last
    for (std::size_t j = 0; j < n_scores; ++j) {
      std::string_view field = NextField(row, cf::kFieldSeparator);
      if (static_cast<std::int64_t>(j) == ml && field == cf::kNotAvailable) {
        field = cf::kNotAvailableValue;
      }
      const std::optional<long double> value = ParseReal(field);
      if (value.has_value()) {
        scores[j][w] = *value;
      } else {
        ++bad_scores;
      }
    }
    ++w;
  });
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
  ReadConservationLines(LineText::FromFile(path), data, sink);
}

void ReadConservationLines(LineText text, TConserved& data, MessageSink& sink) {
  text.NormalizeLines(kBlankDelimiters);
  LineBlock block;
  if (!FindScoreBlock(text, block)) {
    sink.Show(cf::kNoBlock);
    return;
  }
  // Each key is searched from the line where the previous one was found.
  std::size_t line = block.start;
  std::uint64_t stats_count = 0;
  if (!ReadScoreNames(text, line, data, sink)) return;
  if (!ReadStatsCount(text, line, stats_count, sink)) return;
  if (!ReadStats(text, line, stats_count, data, sink)) return;
  std::size_t first_row = 0;
  if (!FindTableRows(text, line, block.end, first_row, sink)) return;
  if (!ReadTableRows(text, first_row, block.end, data, sink)) return;
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
