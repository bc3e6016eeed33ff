#include "sources/reading_in.h"

#include <exception>
#include <future>
#include <utility>
#include <vector>

#include "alignment/alignment_file.h"
#include "text/background.h"
#include "text/held_messages.h"

namespace tessarin {
namespace {

// One file read on a thread of its own while the alignment is read. The
// reader starts from a copy of what its data held, as it would in place,
// and the result replaces the data only once the alignment has passed its
// length check (a failed check leaves the data as it was). What the reader
// reports is shown, and what it throws is thrown, where the reading in
// would have read the file.
template <typename Data>
struct FileRead {
  Data data;
  HeldMessages messages;
  std::exception_ptr error;
  std::future<void> done;

  // Starts reading `path` with `read` into a copy of `before`.
  template <typename Reader>
  void Start(const std::string& path, const Data& before, Reader read) {
    auto task = [this, &path, &before, read] {
      try {
        data = before;
        read(path, data, messages);
      } catch (...) {
        error = std::current_exception();
      }
    };
    // Without a thread to be had, the file is read when it is due.
    done = StartInBackground(task);
  }
  // Waits for the reading; shows its messages in `sink`, moves its result
  // into `target` and throws what the reader threw.
  void Finish(Data& target, MessageSink& sink) {
    done.get();
    messages.ShowIn(sink);
    target = std::move(data);
    if (error) std::rethrow_exception(error);
  }
};

}  // namespace

bool ReadInFiles(const std::string& fas_path, const std::string& tf_path,
                 const std::string& cons_path, ReadInData& data,
                 MessageSink& sink, ProgressObserver* progress,
                 ReadInChoice choice) {
  auto phase = [progress](std::string_view name) {
    if (progress != nullptr) progress->PhaseStarted(name);
  };
  // The TF file and the conservation file are read on threads of their own
  // while the alignment is read. Each FileRead's future waits for its thread
  // on every way out of this function.
  FileRead<TaTFSet> tf;
  FileRead<TConserved> conservation;
  if (choice.tf) tf.Start(tf_path, data.factors, ReadTFFile);
  if (choice.conservation) {
    conservation.Start(cons_path, data.conservation, ReadConservation);
  }
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
    tf.Finish(data.factors, sink);
  } else {
    data.factors.clear();
  }
  data.site_details.assign(data.factors.size(), {});
  phase(kPhaseReadConservation);
  if (choice.conservation) {
    conservation.Finish(data.conservation, sink);
  } else {
    data.conservation = TConserved();
  }
  return true;
}

}  // namespace tessarin
