// "Read in Files": the alignment with its length check, the TF file and the
// conservation file, read in one go and in a fixed order.
#ifndef TESSARIN_SOURCES_READING_IN_H_
#define TESSARIN_SOURCES_READING_IN_H_

#include <memory>
#include <string>
#include <string_view>

#include "alignment/seq_set.h"
#include "sources/conserved.h"
#include "sources/site_import.h"
#include "sources/tf_set.h"
#include "text/arrays.h"
#include "text/message_sink.h"
#include "text/progress.h"

namespace tessarin {

inline constexpr std::string_view kNoProperAlignment =
    "Seqs have different length -> no proper alignment";
// Followed by the alignment file's path in double quotes.
inline constexpr std::string_view kNoSequenceFound = "No sequence found in ";

// What reading in produces. The fields travel together: a reading in that
// stops part-way leaves every field as far as it came. The gapless tables
// are not held: each is a function of its checked sequence (`GaplessTable`),
// and whoever maps positions builds the one it needs, one row at a time.
struct ReadInData {
  std::unique_ptr<TSeqSet> alignment;
  TaTFSet factors;
  TConserved conservation;
  // What scanners said about the sites of imported factors, parallel to
  // `factors` (see ImportSiteFile); reset whenever the TF file is read.
  TSiteDetails site_details;
  // False when the alignment read last failed the length check: the TF
  // definitions and conservation data then belong to an earlier reading in,
  // and nothing is marked on it.
  bool alignment_checked = true;
};

// Replaces `data.alignment` by a new set at once and reads the FASTA file
// into it. When its sequences differ in length, shows kNoProperAlignment and
// stops: the new alignment stays, while the factors and the conservation
// data keep what they held, so they may not match it. Otherwise the TF file
// and the conservation file are read (both, whatever the other reports).
// Those two are read on threads of their own while the alignment is read, but
// what they give, what they report and what they throw arrive as if they
// were read in turn after the length check. Sets `data.alignment_checked`
// to the outcome of the length check as soon as it is known, and returns it;
// an exception that leaves during the FASTA reading leaves the flag as it
// was, for the caller to decide from how far the reading came.
// The caller makes sure the files can be read (ReadFailure); one that cannot
// be opened reads as an empty one. A read error after a file was opened
// throws std::system_error from the reader of that file. `progress`, when
// given, is told as each file's reading begins.
//
// The alignment file may also be a Clustal or Stockholm alignment, known by
// its first line (see ReadAlignmentFile).
//
// `choice` leaves the TF file or the conservation file out (the batch front
// end, when imported sites or computed windows stand in for them): its path
// is not read and its data is emptied, since it would belong to another
// alignment.
// With `report_no_sequence` (the front ends), an alignment file in which no
// sequence is found reports kNoSequenceFound and the path right after it is
// read, so that an empty view does not pass for a successful reading; the
// reading in then goes on as for any alignment.
struct ReadInChoice {
  bool tf = true;
  bool conservation = true;
  bool report_no_sequence = false;
};
bool ReadInFiles(const std::string& fas_path, const std::string& tf_path,
                 const std::string& cons_path, ReadInData& data,
                 MessageSink& sink, ProgressObserver* progress = nullptr,
                 ReadInChoice choice = {});

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_READING_IN_H_
