// "Read in Files": the alignment, its gapless tables, the TF file and the
// conservation file, read in one go and in a fixed order.
#ifndef TESSARIN_SOURCES_READING_IN_H_
#define TESSARIN_SOURCES_READING_IN_H_

#include <memory>
#include <string>
#include <string_view>

#include "alignment/seq_set.h"
#include "sources/conserved.h"
#include "sources/tf_set.h"
#include "text/arrays.h"
#include "text/message_sink.h"
#include "text/progress.h"

namespace tessarin {

inline constexpr std::string_view kNoProperAlignment =
    "Seqs have different length -> no proper alignment";

// Replaces `alignment` by a new set at once and reads the FASTA file into
// it. When its sequences differ in length, shows kNoProperAlignment and
// stops: the new alignment stays, while `gapless_tables`, `factors` and
// `conserved` keep what they held, so they may not match it. Otherwise
// `gapless_tables` becomes the new alignment's tables and the TF file and
// the conservation file are read (both, whatever the other reports).
// Returns whether the length check passed; the caller keeps that answer so
// that it never combines this alignment with arrays from an earlier one.
// The caller makes sure the files exist; a file that cannot be opened reads
// as an empty one. A read error after a file was opened propagates as
// std::system_error. `progress`, when given, is told as each file's reading
// begins.
bool ReadInFiles(const std::string& fas_path, const std::string& tf_path,
                 const std::string& cons_path,
                 std::unique_ptr<TSeqSet>& alignment, AADWord& gapless_tables,
                 TaTFSet& factors, TConserved& conserved, MessageSink& sink,
                 ProgressObserver* progress = nullptr);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_READING_IN_H_
