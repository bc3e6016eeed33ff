// Transcription factors and their predicted binding sites, as read from a TF
// file: one TTFSet per [TF] block, in file order.
#ifndef TESSARIN_SOURCES_TF_SET_H_
#define TESSARIN_SOURCES_TF_SET_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/arrays.h"
#include "text/line_file.h"
#include "text/message_sink.h"

namespace tessarin {

// How the fourth table column of a factor is read.
// Direct: the site's letters, all compared with the sequence.
inline constexpr std::uint8_t kMatchDirect = 0;
// Case-sensitive: letters whose first upper-case run is the site.
inline constexpr std::uint8_t kMatchCaseSensitive = 1;
// Length: an integer, the site's length; no letters are compared.
inline constexpr std::uint8_t kMatchLength = 2;
// The block's match type was not (yet) recognised; such a factor marks
// nothing.
inline constexpr std::uint8_t kMatchUnrecognised = 255;

// One factor. SeqNames, Positions, Labels and Sites (match types direct and
// case-sensitive) or Lengths (match type length) are parallel: entry j of
// each describes site j. A record left by a failed reading may hold arrays of
// different lengths, and one reused from an earlier reading may still hold
// the other kind of column 3 (Sites or Lengths), so users check lengths.
struct TTFSet {
  std::string Name;  // the value of "Name =", blanks, ';' and tabs removed
  std::uint32_t Color = 0;  // see FactorColor; 0 until colours are assigned
  // The block's own "Color = #RRGGBB" as a colour value (red in the lowest
  // byte), or nothing when it has none or its value was malformed. When
  // colours are assigned it takes the place of FactorColor.
  std::optional<std::uint32_t> ColorKey;
  std::uint8_t MatchType = kMatchUnrecognised;
  std::string Comment;  // the table's "#" line, whole; empty when none
  AString SeqNames;     // per site: the sequence it lies in
  ADWord Positions;     // per site: 1-based position in the gapless sequence
  AString Labels;       // per site: the label written into a track
  AString Sites;        // per site: its letters (direct, case-sensitive)
  ADWord Lengths;       // per site: its length (length)
};

using TaTFSet = std::vector<TTFSet>;

// The colour value of factor `index` (from 0), red in the lowest byte: six
// base colours (blue, green, red, cyan, magenta, yellow), then
// 0xFF << 4 * (index mod 8) plus 0xFF0000, wrapping in 32 bits, so factor
// index + 8 has the colour of factor index from 6 on.
std::uint32_t FactorColor(std::size_t index);

// Reads the TF file at `path` into `factors`, one record per [TF] block in
// file order, and colours them. Every problem is shown on `sink` and ends the
// reading at once, without colouring: records read before the failing block
// stay complete, the failing one keeps the fields reached so far. The array
// is not emptied first: a file without any block leaves it as it was; the
// first block reuses record 0 in place (fields not reached keep their old
// values) and every later block starts from an empty record, so the array
// ends up holding exactly the blocks met. A file that cannot be opened reads
// as an empty one. Linear in the file size; while it reads it holds the
// file's content once beside the records, and no text of a table cell
// beyond the column that stores it. A read error after the file was opened
// throws std::system_error ("Cannot read ..."); like every platform failure
// it ends the command that reads.
//
// The one exception is a block's colour key: a factor with one is coloured
// by it instead of by FactorColor, and a malformed one is shown as
// "path:line: Color is not #RRGGBB: value", ignored, and the reading goes on.
void ReadTFFile(const std::string& path, TaTFSet& factors, MessageSink& sink);

// ReadTFFile on lines already loaded; normalises them first. `file_name` is
// how messages that point at a line name the file.
void ReadTFLines(LineText text, TaTFSet& factors, MessageSink& sink,
                 std::string_view file_name = {});

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_TF_SET_H_
