#include "sources/tf_set.h"

#include <array>
#include <string_view>
#include <utility>

#include "sources/key_value.h"
#include "sources/tf_format.h"
#include "text/fields.h"
#include "text/numbers.h"

namespace tessarin {
namespace {

namespace tf = tf_format;

constexpr std::array<std::uint32_t, 6> kBaseColors = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};

// Columns 0 to 3 are all the reader uses; wider rows are not materialised.
constexpr std::size_t kTableColumns = 4;

// Finds a key from line numbers that never decrease, remembering the last
// answer. Every block looks its keys up from its own header line; a key
// missing from many blocks would otherwise be searched for from each of
// them to the same far line, which is quadratic in the number of blocks.
class KeyCursor {
 public:
  KeyCursor(const Ttf& file, std::string_view key) : file_(file), key_(key) {}

  // Ttf::FindFirstKey(key, from); `from` must be at least that of the
  // previous call.
  KeyHit Find(std::size_t from) {
    // No line in searched_from_..hit_.line - 1 holds the key, and when it was
    // not found no line from searched_from_ on does.
    const bool still_valid = searched_ && from >= searched_from_ &&
                             (hit_.count == 0 || from <= hit_.line);
    if (still_valid) return hit_;
    hit_ = file_.FindFirstKey(key_, from);
    searched_from_ = from;
    searched_ = true;
    return hit_;
  }

 private:
  const Ttf& file_;
  std::string_view key_;
  bool searched_ = false;
  std::size_t searched_from_ = 0;
  KeyHit hit_;
};

struct KeyCursors {
  explicit KeyCursors(const Ttf& file)
      : name(file, tf::kNameKey),
        match_type(file, tf::kMatchTypeKey),
        table(file, tf::kTableKey) {}
  KeyCursor name;
  KeyCursor match_type;
  KeyCursor table;
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

// The next [TF] block whose header lies at or after line `from`; false when
// there is none.
bool FindNextBlock(const Ttf& file, std::size_t from, LineBlock& block) {
  if (file.LastIndex() < 0 ||
      from > static_cast<std::size_t>(file.LastIndex())) {
    return false;
  }
  block = file.FindBlock(tf::kBlockHeader, tf::kBlockEnd, from,
                         static_cast<std::size_t>(file.LastIndex()),
                         /*whole_line=*/true, /*case_sensitive=*/false);
  // A found block never has start = end = 0: its end lies after its header.
  return block.start != 0 || block.end != 0;
}

// Cuts the rows lines[first..last] into the site columns of `record`.
bool ReadRows(const AString& lines, std::size_t first, std::size_t last,
              TTFSet& record, MessageSink& sink) {
  AAString columns =
      SplitColumns(lines, first, last, tf::kFieldSeparator, kTableColumns);
  if (columns.size() < kTableColumns) {
    sink.Show(tf::kTooFewColumns);
    return false;
  }
  record.SeqNames = std::move(columns[0]);
  if (TextsToInts(columns[1], record.Positions) != 0) {
    sink.Show(tf::kPositionConversion);
    return false;
  }
  record.Labels = std::move(columns[2]);
  if (record.MatchType != kMatchLength) {
    record.Sites = std::move(columns[3]);
    return true;
  }
  if (TextsToInts(columns[3], record.Lengths) != 0) {
    sink.Show(tf::kLengthConversion);
    return false;
  }
  return true;
}

// Finds the block's "[[TABLE]]" line, takes its comment line, if any, and
// reads the rows up to the block's last line, block.end - 1.
bool ReadTable(const Ttf& file, const LineBlock& block, KeyCursor& table_key,
               TTFSet& record, MessageSink& sink) {
  const KeyHit table = table_key.Find(block.start);
  if (table.count == 0) {
    sink.Show(tf::kTableNotFound);
    return false;
  }
  // A "[[TABLE]]" found beyond the block leaves no rows either.
  std::size_t first_row = table.line + 1;
  if (first_row >= block.end) {
    sink.Show(tf::kNoTableData);
    return false;
  }
  const std::string& first_line = file.Lines()[first_row];
  if (!IsCommentLine(first_line)) {
    // A record reused from an earlier reading must not keep that comment.
    record.Comment.clear();
  } else {
    record.Comment = first_line;
    ++first_row;
    if (first_row >= block.end) {
      sink.Show(tf::kNoTableDataAfterComment);
      return false;
    }
  }
  return ReadRows(file.Lines(), first_row, block.end - 1, record, sink);
}

// Reads one block into `record`, in the order name, match type, table.
// Returns false after showing why it stopped.
bool ReadBlock(const Ttf& file, const LineBlock& block, KeyCursors& keys,
               TTFSet& record, MessageSink& sink) {
  const KeyHit name = keys.name.Find(block.start);
  if (name.count == 0) {
    sink.Show(tf::kNameNotFound);
    return false;
  }
  record.Name = KeyValue(file, name, tf::kNameKey, tf::kValueJunk);

  const KeyHit mode = keys.match_type.Find(block.start);
  if (mode.count == 0) {
    sink.Show(tf::kMatchTypeNotFound);
    return false;
  }
  const std::string keyword =
      KeyValue(file, mode, tf::kMatchTypeKey, tf::kValueJunk);
  record.MatchType = MatchTypeOf(keyword);
  if (record.MatchType == kMatchUnrecognised) {
    sink.Show(std::string(tf::kUnknownMode) + keyword);
    return false;
  }
  return ReadTable(file, block, keys.table, record, sink);
}

}  // namespace

std::uint32_t FactorColor(std::size_t index) {
  if (index < kBaseColors.size()) return kBaseColors[index];
  const unsigned shift = 4 * static_cast<unsigned>(index % 8);
  // Unsigned 32-bit arithmetic: bits shifted past bit 31 are lost.
  return (std::uint32_t{0xFF} << shift) + std::uint32_t{0xFF0000};
}

void ReadTFFile(const std::string& path, TaTFSet& factors, MessageSink& sink) {
  Ttf file;
  file.LoadFromFile(path);
  ReadTFLines(file, factors, sink);
}

void ReadTFLines(Ttf& file, TaTFSet& factors, MessageSink& sink) {
  file.NormalizeLines(kBlankDelimiters);
  KeyCursors keys(file);
  std::size_t blocks_read = 0;
  std::size_t from = 0;
  LineBlock block;
  while (FindNextBlock(file, from, block)) {
    // The first block truncates the array to record 0, kept as it was; each
    // later block appends a fresh record.
    factors.resize(blocks_read + 1);
    if (!ReadBlock(file, block, keys, factors.back(), sink)) return;
    ++blocks_read;
    // Searching on from the "*" line; a block without one ran to the end.
    from = block.end;
  }
  if (blocks_read == 0) {
    sink.Show(tf::kNoBlock);
    return;
  }
  for (std::size_t i = 0; i < blocks_read; ++i) {
    factors[i].Color = FactorColor(i);
  }
}

}  // namespace tessarin
