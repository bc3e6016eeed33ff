#include "sources/reading_in.h"

namespace tessarin {

bool ReadInFiles(const std::string& fas_path, const std::string& tf_path,
                 const std::string& cons_path,
                 std::unique_ptr<TSeqSet>& alignment, AADWord& gapless_tables,
                 TaTFSet& factors, TConserved& conserved, MessageSink& sink) {
  // Nothing of the previous alignment survives, even if reading fails.
  alignment = std::make_unique<TSeqSet>();
  alignment->ReadFasta(fas_path);
  const std::uint32_t length = alignment->MaxLength();
  for (const TSeq& seq : alignment->Seqs) {
    if (seq.Seq.size() != length) {
      sink.Show(kNoProperAlignment);
      return false;
    }
  }
  gapless_tables = alignment->GaplessTables();
  ReadTFFile(tf_path, factors, sink);
  ReadConservation(cons_path, conserved, sink);
  return true;
}

}  // namespace tessarin
