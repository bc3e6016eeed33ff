// The fixed texts of the conservation file format: its block markers, keys,
// special names and the messages its reader shows. Shared by the reader and
// its tests so that each text is written once.
#ifndef TESSARIN_SOURCES_CONSERVATION_FORMAT_H_
#define TESSARIN_SOURCES_CONSERVATION_FORMAT_H_

#include <string_view>

namespace tessarin::conservation_format {

// The score block runs from a line that is exactly kBlockHeader (any letter
// case) to the next line that is exactly kBlockEnd.
inline constexpr std::string_view kBlockHeader = "[SCORES]";
inline constexpr std::string_view kBlockEnd = "*";

// Keys, searched in this order, each from the line where the previous one
// was found; case-sensitive substrings of a line.
inline constexpr std::string_view kScoreNamesKey = "ScoreNames =";
inline constexpr std::string_view kNSummaryStatsKey = "NSummaryStats =";
inline constexpr std::string_view kStatsKey = "[[STATS]]";
inline constexpr std::string_view kTableKey = "[[TABLE]]";

// Characters removed from a key's value; score names are split at ','.
inline constexpr std::string_view kValueJunk = " ;\t";
inline constexpr char kNameSeparator = ',';
// Statistics rows and table rows are split into fields at this character
// (after normalising).
inline constexpr char kFieldSeparator = ' ';
inline constexpr char kCommentMark = '#';

// The statistics row holding the cut-offs.
inline constexpr std::string_view kThreshName = "Thresh";
// In the column of the score named kMLName, kNotAvailable reads as
// kNotAvailableValue.
inline constexpr std::string_view kMLName = "ML";
inline constexpr std::string_view kNotAvailable = "N/A";
inline constexpr std::string_view kNotAvailableValue = "-1";

// Messages, exactly as shown. kBadStatsCount and kBadStatsValue are followed
// by the text that could not be read.
inline constexpr std::string_view kNoBlock = "No [SCORES] block found!";
inline constexpr std::string_view kScoreNamesNotFound =
    "ScoreNames definition not found";
inline constexpr std::string_view kNoScoreNames =
    "Cannot find any score names!";
inline constexpr std::string_view kStatsCountNotFound =
    "NSummaryStats definition not found";
inline constexpr std::string_view kBadStatsCount =
    "Cannot interpret NSummaryStats as value: ";
inline constexpr std::string_view kStatsNotFound =
    "[[STATS]] subblock not found";
inline constexpr std::string_view kBadStatsSection =
    "Cannot interpret [[STATS]] section";
inline constexpr std::string_view kBadStatsValue =
    "Cannot interpret value in [[STATS]] section: ";
inline constexpr std::string_view kTableNotFound =
    "[[TABLE]] subblock not found";
inline constexpr std::string_view kEmptyTable = "Nothing to read in [[TABLE]]!";
inline constexpr std::string_view kBadWindowColumns =
    "Could not convert all values in scores [[TABLE]] (1)";
inline constexpr std::string_view kBadScoreColumns =
    "Could not convert all values in scores [[TABLE]] (2)";
inline constexpr std::string_view kNoThresh =
    "Could not identify Thresh cutoff values";

}  // namespace tessarin::conservation_format

#endif  // TESSARIN_SOURCES_CONSERVATION_FORMAT_H_
