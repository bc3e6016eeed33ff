// The fixed texts of the TF file format: its block markers, keys, match-type
// keywords and the messages its reader shows. Shared by the reader and its
// tests so that each text is written once.
#ifndef TESSARIN_SOURCES_TF_FORMAT_H_
#define TESSARIN_SOURCES_TF_FORMAT_H_

#include <string_view>

namespace tessarin::tf_format {

// A block runs from a line that is exactly kBlockHeader (any letter case) to
// the next line that is exactly kBlockEnd.
inline constexpr std::string_view kBlockHeader = "[TF]";
inline constexpr std::string_view kBlockEnd = "*";

// Keys are case-sensitive substrings of a line; the value is the rest of the
// line with every character of kValueJunk removed.
inline constexpr std::string_view kNameKey = "Name =";
inline constexpr std::string_view kMatchTypeKey = "MatchType =";
inline constexpr std::string_view kTableKey = "[[TABLE]]";
// Optional; only a line between the block's header and its kTableKey line
// counts. Its value is kColorMark and six hexadecimal digits, red first.
inline constexpr std::string_view kColorKey = "Color =";
inline constexpr char kColorMark = '#';
inline constexpr std::string_view kValueJunk = " ;\t";

// A first table line starting with this is the table's comment, not a row.
inline constexpr char kCommentMark = '#';
// Table rows are split into fields at this character (after normalising).
inline constexpr char kFieldSeparator = ' ';

// The match-type keywords, compared case-sensitively.
inline constexpr std::string_view kDirectKeyword = "direct";
inline constexpr std::string_view kCaseSensitiveKeyword = "case-sensitive";
inline constexpr std::string_view kLengthKeyword = "length";

// Messages, exactly as shown. kUnknownMode is followed by the value read.
inline constexpr std::string_view kNoBlock = "No [TF] block found!";
inline constexpr std::string_view kNameNotFound = "Name definition not found";
inline constexpr std::string_view kMatchTypeNotFound =
    "MatchType definition not found";
inline constexpr std::string_view kUnknownMode =
    "Unknown TF interpretation mode: ";
inline constexpr std::string_view kTableNotFound = "TF [[TABLE]] not found";
inline constexpr std::string_view kNoTableData =
    "Could not find data in [[TABLE]]";
inline constexpr std::string_view kNoTableDataAfterComment =
    "Could not find data in [[TABLE]] (2)";
inline constexpr std::string_view kTooFewColumns =
    "TF [[TABLE]] has fewer than 4 columns";
inline constexpr std::string_view kPositionConversion = "Conversion error [1]";
inline constexpr std::string_view kLengthConversion = "Conversion error [3]";
// Reported after "file:line: " and followed by the value read; the reading
// goes on and the factor keeps the colour of its place in the file.
inline constexpr std::string_view kColorNotRgb = "Color is not #RRGGBB: ";

}  // namespace tessarin::tf_format

#endif  // TESSARIN_SOURCES_TF_FORMAT_H_
