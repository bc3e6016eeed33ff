#include "sources/reading_in.h"

#include "alignment/alignment_file.h"

namespace tessarin {

bool ReadInFiles(const std::string& fas_path, const std::string& tf_path,
                 const std::string& cons_path, ReadInData& data,
                 MessageSink& sink, ProgressObserver* progress,
                 ReadInChoice choice) {
  auto phase = [progress](std::string_view name) {
    if (progress != nullptr) progress->PhaseStarted(name);
  };
  // Nothing of the previous alignment survives, even if reading fails; it
  // goes before the new one is read so that the two never take memory
  // together.
  phase(kPhaseReadFasta);
  std::unique_ptr<TSeqSet>& alignment = data.alignment;
  alignment.reset();
  alignment = std::make_unique<TSeqSet>();
  if (ReadAlignmentFile(fas_path, *alignment) == 0 &&
      choice.report_no_sequence) {
    // An empty view would otherwise pass for a successful reading.
    sink.Show(std::string(kNoSequenceFound) + "\"" + fas_path + "\"");
  }
  const std::uint32_t length = alignment->MaxLength();
  for (const TSeq& seq : alignment->Seqs) {
    if (seq.Seq.size() != length) {
      sink.Show(kNoProperAlignment);
      data.alignment_checked = false;
      return false;
    }
  }
  data.alignment_checked = true;
  phase(kPhaseReadTf);
  if (choice.tf) {
    ReadTFFile(tf_path, data.factors, sink);
  } else {
    data.factors.clear();
  }
  data.site_details.assign(data.factors.size(), {});
  phase(kPhaseReadConservation);
  if (choice.conservation) {
    ReadConservation(cons_path, data.conservation, sink);
  } else {
    data.conservation = TConserved();
  }
  return true;
}

}  // namespace tessarin
