#include "sources/tf_set.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "sources/key_value.h"
#include "sources/table_row.h"
#include "sources/tf_format.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace tessarin {
namespace {

namespace tf = tf_format;

constexpr std::array<std::uint32_t, 6> kBaseColors = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};

// Columns 0 to 3 are all the reader uses; wider rows are not cut up further.
constexpr std::size_t kTableColumns = 4;

// Finds a key from line numbers that never decrease, remembering the last
// answer. Every block looks its keys up from its own header line; a key
// missing from many blocks would otherwise be searched for from each of
// them to the same far line, which is quadratic in the number of blocks.
class KeyCursor {
 public:
  KeyCursor(const LineText& text, std::string_view key)
      : text_(text), key_(key) {}

  // LineText::FindFirstKey(key, from); `from` must be at least that of the
  // previous call.
  KeyHit Find(std::size_t from) {
    // No line in searched_from_..hit_.line - 1 holds the key, and when it was
    // not found no line from searched_from_ on does.
    const bool still_valid = searched_ && from >= searched_from_ &&
                             (hit_.count == 0 || from <= hit_.line);
    if (still_valid) return hit_;
    hit_ = text_.FindFirstKey(key_, from);
    searched_from_ = from;
    searched_ = true;
    return hit_;
  }

 private:
  const LineText& text_;
  std::string_view key_;
  bool searched_ = false;
  std::size_t searched_from_ = 0;
  KeyHit hit_;
};

struct KeyCursors {
  explicit KeyCursors(const LineText& text)
      : name(text, tf::kNameKey),
        match_type(text, tf::kMatchTypeKey),
        table(text, tf::kTableKey) {}
  KeyCursor name;
  KeyCursor match_type;
  KeyCursor table;
};

// The 1-based line number of a line's offset, counted on from the previous
// answer, so that asking in file order costs one pass over the text.
class LineNumbers {
 public:
  explicit LineNumbers(const LineText& text) : text_(text.Text()) {}

  std::size_t At(std::size_t offset) {
    if (offset < offset_) {
      offset_ = 0;
      number_ = 1;
    }
    const std::string_view between = text_.substr(offset_, offset - offset_);
    number_ += CountChar('\n', between);
    offset_ = offset;
    return number_;
  }

 private:
  std::string_view text_;
  std::size_t offset_ = 0;
  std::size_t number_ = 1;
};

// "#RRGGBB" as a colour value, red in the lowest byte; nothing for any other
// text.
std::optional<std::uint32_t> ParseRgb(std::string_view value) {
  constexpr std::size_t kLength = 7;  // the mark and six digits
  if (value.size() != kLength || value.front() != tf::kColorMark) {
    return std::nullopt;
  }
  std::uint32_t rgb = 0;  // red in the highest of three bytes, as written
  const char* const end = value.data() + value.size();
  const std::from_chars_result parsed =
      std::from_chars(value.data() + 1, end, rgb, 16);
  if (parsed.ec != std::errc() || parsed.ptr != end) return std::nullopt;
  const std::uint32_t red = rgb >> 16;
  const std::uint32_t green = (rgb >> 8) & 0xFF;
  const std::uint32_t blue = rgb & 0xFF;
  return red | green << 8 | blue << 16;
}

// Reads the optional colour key of each block; a malformed value is shown,
// naming the file and the line, and ignored.
class ColorKeys {
 public:
  ColorKeys(const LineText& text, std::string_view file_name, MessageSink& sink)
      : text_(text),
        cursor_(text, tf::kColorKey),
        lines_(text),
        file_name_(file_name),
        sink_(sink) {}

  // The colour key on the first line from the block's header up to, not
  // including, `before` (its "[[TABLE]]" line or its end) that holds one.
  std::optional<std::uint32_t> Read(const LineBlock& block,
                                    std::size_t before) {
    const KeyHit hit = cursor_.Find(block.start);
    if (hit.count == 0 || hit.line >= before) return std::nullopt;
    const std::string value =
        KeyValue(text_, hit, tf::kColorKey, tf::kValueJunk);
    const std::optional<std::uint32_t> color = ParseRgb(value);
    if (!color) {
      sink_.Show(std::string(file_name_) + ":" +
                 std::to_string(lines_.At(hit.line)) + ": " +
                 std::string(tf::kColorNotRgb) + value);
    }
    return color;
  }

 private:
  const LineText& text_;
  KeyCursor cursor_;
  LineNumbers lines_;
  std::string_view file_name_;
  MessageSink& sink_;
};

std::uint8_t MatchTypeOf(std::string_view keyword) {
  if (keyword == tf::kDirectKeyword) return kMatchDirect;
  if (keyword == tf::kCaseSensitiveKeyword) return kMatchCaseSensitive;
  if (keyword == tf::kLengthKeyword) return kMatchLength;
  return kMatchUnrecognised;
}

bool IsCommentLine(std::string_view line) {
  return !line.empty() && line.front() == tf::kCommentMark;
}

// The next [TF] block whose header lies at or after the line at `from`;
// false when there is none.
bool FindNextBlock(const LineText& text, std::size_t from, LineBlock& block) {
  const std::optional<LineBlock> found =
      text.FindBlock(tf::kBlockHeader, tf::kBlockEnd, from);
  if (!found) return false;
  block = *found;
  return true;
}

// Converts field `column` of every row by the integer rule into `values`
// (a failed entry becomes 0, as TextsToInts does); returns the failures.
std::size_t RowsToInts(const LineText& text, std::size_t first, std::size_t end,
                       std::size_t rows, std::size_t column, ADWord& values) {
  values.assign(rows, 0);
  std::size_t failures = 0;
  std::size_t i = 0;
  text.ForEachLine(first, end, [&](std::string_view row) {
    const std::optional<std::int64_t> value =
        ParseInteger(FieldAt(row, column, tf::kFieldSeparator));
    if (value) {
      values[i] =
          static_cast<std::uint32_t>(static_cast<std::uint64_t>(*value));
    } else {
      ++failures;
    }
    ++i;
  });
  return failures;
}

// Field `column` of every row, as texts.
AString RowsToTexts(const LineText& text, std::size_t first, std::size_t end,
                    std::size_t rows, std::size_t column) {
  AString texts;
  texts.reserve(rows);
  text.ForEachLine(first, end, [&](std::string_view row) {
    texts.emplace_back(FieldAt(row, column, tf::kFieldSeparator));
  });
  return texts;
}

// Reads the rows, the lines from the one at `first` to the one before
// `end`, into the site columns of `record`. Each column is made straight
// from the rows, at its final size; no text of a cell is kept beyond the
// column that stores it.
bool ReadRows(const LineText& text, std::size_t first, std::size_t end,
              TTFSet& record, MessageSink& sink) {
  // The table is as wide as its widest row; columns 0 to 3 must exist.
  std::size_t rows = 0;
  std::size_t width = 0;
  text.ForEachLine(first, end, [&](std::string_view row) {
    ++rows;
    if (width < kTableColumns) {
      width = std::max(width, CountChar(tf::kFieldSeparator, row) + 1);
    }
  });
  if (width < kTableColumns) {
    sink.Show(tf::kTooFewColumns);
    return false;
  }
  record.SeqNames = RowsToTexts(text, first, end, rows, 0);
  if (RowsToInts(text, first, end, rows, 1, record.Positions) != 0) {
    sink.Show(tf::kPositionConversion);
    return false;
  }
  record.Labels = RowsToTexts(text, first, end, rows, 2);
  if (record.MatchType != kMatchLength) {
    record.Sites = RowsToTexts(text, first, end, rows, 3);
    return true;
  }
  if (RowsToInts(text, first, end, rows, 3, record.Lengths) != 0) {
    sink.Show(tf::kLengthConversion);
    return false;
  }
  return true;
}

// Finds the block's "[[TABLE]]" line, takes its comment line, if any, and
// reads the rows up to the block's last line, the one before block.end.
bool ReadTable(const LineText& text, const LineBlock& block,
               KeyCursor& table_key, TTFSet& record, MessageSink& sink) {
  const KeyHit table = table_key.Find(block.start);
  if (table.count == 0) {
    sink.Show(tf::kTableNotFound);
    return false;
  }
  // A "[[TABLE]]" found beyond the block leaves no rows either.
  std::size_t first_row = text.Next(table.line);
  if (first_row >= block.end) {
    sink.Show(tf::kNoTableData);
    return false;
  }
  const std::string_view first_line = text.Line(first_row);
  if (!IsCommentLine(first_line)) {
    // A record reused from an earlier reading must not keep that comment.
    record.Comment.clear();
  } else {
    record.Comment = first_line;
    first_row = text.Next(first_row);
    if (first_row >= block.end) {
      sink.Show(tf::kNoTableDataAfterComment);
      return false;
    }
  }
  return ReadRows(text, first_row, block.end, record, sink);
}

// Reads one block into `record`, in the order name, match type, colour key,
// table. Returns false after showing why it stopped.
bool ReadBlock(const LineText& text, const LineBlock& block, KeyCursors& keys,
               ColorKeys& colors, TTFSet& record, MessageSink& sink) {
  const KeyHit name = keys.name.Find(block.start);
  if (name.count == 0) {
    sink.Show(tf::kNameNotFound);
    return false;
  }
  record.Name = KeyValue(text, name, tf::kNameKey, tf::kValueJunk);

  const KeyHit mode = keys.match_type.Find(block.start);
  if (mode.count == 0) {
    sink.Show(tf::kMatchTypeNotFound);
    return false;
  }
  const std::string keyword =
      KeyValue(text, mode, tf::kMatchTypeKey, tf::kValueJunk);
  record.MatchType = MatchTypeOf(keyword);
  if (record.MatchType == kMatchUnrecognised) {
    sink.Show(std::string(tf::kUnknownMode) + keyword);
    return false;
  }
  // The colour key belongs to the block's head: it ends at the table's
  // line, or at the block's end when the table lies beyond it or is missing.
  const KeyHit table = keys.table.Find(block.start);
  const std::size_t head_end =
      table.count != 0 ? std::min(table.line, block.end) : block.end;
  record.ColorKey = colors.Read(block, head_end);
  return ReadTable(text, block, keys.table, record, sink);
}

}  // namespace

std::uint32_t FactorColor(std::size_t index) {
  if (index < kBaseColors.size()) return kBaseColors[index];
  const unsigned shift = 4 * static_cast<unsigned>(index % 8);
  // Unsigned 32-bit arithmetic: bits shifted past bit 31 are lost.
  return (std::uint32_t{0xFF} << shift) + std::uint32_t{0xFF0000};
}

void ReadTFFile(const std::string& path, TaTFSet& factors, MessageSink& sink) {
  ReadTFLines(LineText::FromFile(path), factors, sink, path);
}

void ReadTFLines(LineText text, TaTFSet& factors, MessageSink& sink,
                 std::string_view file_name) {
  text.NormalizeLines(kBlankDelimiters);
  KeyCursors keys(text);
  ColorKeys colors(text, file_name, sink);
  std::size_t blocks_read = 0;
  std::size_t from = 0;
  LineBlock block;
  while (FindNextBlock(text, from, block)) {
    // The first block truncates the array to record 0, kept as it was; each
    // later block appends a fresh record.
    factors.resize(blocks_read + 1);
    if (!ReadBlock(text, block, keys, colors, factors.back(), sink)) return;
    ++blocks_read;
    // Searching on from the "*" line; a block without one ran to the end.
    from = block.end;
  }
  if (blocks_read == 0) {
    sink.Show(tf::kNoBlock);
    return;
  }
  for (std::size_t i = 0; i < blocks_read; ++i) {
    factors[i].Color = factors[i].ColorKey.value_or(FactorColor(i));
  }
}

}  // namespace tessarin
