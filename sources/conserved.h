// Conservation scores over sliding windows of the alignment, with their
// summary statistics and cut-offs, as read from a conservation file.
#ifndef TESSARIN_SOURCES_CONSERVED_H_
#define TESSARIN_SOURCES_CONSERVED_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/arrays.h"
#include "text/line_file.h"
#include "text/message_sink.h"

namespace tessarin {

// Filled in place by ReadConservation and never cleared by it. After a
// successful reading ScoreNames, Cutoffs and Scores have NScores entries,
// every Scores[j], WinStart and WinEnd one entry per window, and StatNames
// and Stats one entry per statistics row. A failed reading leaves the fields
// it reached with the new file's data and the others as they were, so users
// check lengths before they index.
struct TConserved {
  std::int32_t NScores = 0;
  AString ScoreNames;
  // The "Thresh" statistics row; the user may overwrite single entries.
  AExt Cutoffs;
  // Scores[j][w]: score j in window w; -1 where the "ML" column says "N/A".
  AAExt Scores;
  AString StatNames;
  // Stats[i][j]: statistic i of score j. A row read by the latest reading
  // has NScores values; a comment row keeps what its entry held before
  // (nothing, when the entry is new).
  AAExt Stats;
  ADWord WinStart;  // first alignment column (1-based) of each window
  ADWord WinEnd;    // last alignment column (1-based, inclusive)
};

// Reads the conservation file at `path` into `data`. Every problem is shown
// on `sink` and ends the reading at once; Cutoffs change only when the whole
// reading succeeds. A file that cannot be opened reads as an empty one.
// Linear in the file size. While it reads it holds the file's content once
// beside the values it stores, converting the table's cells as it walks the
// rows; a statistics count beyond the lines of the file is refused before
// anything is allocated, and a window table whose rows would have to be
// filled out to far more cells than the file holds is refused. A read error
// after the file was opened throws std::system_error ("Cannot read ...");
// like every platform failure it ends the command that reads.
void ReadConservation(const std::string& path, TConserved& data,
                      MessageSink& sink);

// ReadConservation on lines already loaded; normalises them first.
void ReadConservationLines(LineText text, TConserved& data, MessageSink& sink);

// Index of the first entry at or after `start` that equals `name` exactly;
// -1 when there is none, when the list or the name is empty, or when start
// lies beyond the last entry.
std::int64_t FindName(const AString& list, std::string_view name,
                      std::size_t start);

// Replaces every entry in list[first..last] (last cut to the last entry)
// that equals `old_text` exactly by `new_text`; returns how many. Nothing is
// replaced when old_text or the list is empty, first > last, or first lies
// beyond the last entry.
std::size_t ReplaceInRange(AString& list, std::string_view old_text,
                           std::string_view new_text, std::size_t first,
                           std::size_t last);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_CONSERVED_H_
