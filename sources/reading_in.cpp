#include "sources/reading_in.h"

#include <exception>
#include <future>
#include <system_error>
#include <utility>
#include <vector>

#include "alignment/alignment_file.h"

namespace tessarin {
namespace {

// Messages kept to be shown later, in their order. A run of one text is kept
// once with its count, so that a file that repeats one problem many times
// holds it once.
class HeldMessages : public MessageSink {
 public:
  void Show(std::string_view text) override {
    if (!held_.empty() && held_.back().first == text) {
      ++held_.back().second;
    } else {
      held_.emplace_back(std::string(text), 1);
    }
  }
  void ShowIn(MessageSink& sink) const {
    for (const auto& [text, count] : held_) {
      for (std::size_t i = 0; i < count; ++i) sink.Show(text);
    }
  }

 private:
  std::vector<std::pair<std::string, std::size_t>> held_;
};

// The TF file and the conservation file, read on a second thread while the
// alignment is read. Each reader starts from a copy of what its data held,
// as it would in place, and the results replace the data only once the
// alignment has passed its length check; a failed check leaves them as they
// were. What the readers report is shown, and what they throw is thrown,
// where the reading in would have read them.
struct OtherFiles {
  TaTFSet factors;
  TConserved conservation;
  HeldMessages tf_messages;
  HeldMessages conservation_messages;
  std::exception_ptr tf_error;
  std::exception_ptr conservation_error;

  void Read(const std::string& tf_path, const std::string& cons_path,
            const ReadInData& data, ReadInChoice choice) {
    if (choice.tf) {
      try {
        factors = data.factors;
        ReadTFFile(tf_path, factors, tf_messages);
      } catch (...) {
        tf_error = std::current_exception();
        return;
      }
    }
    if (choice.conservation) {
      try {
        conservation = data.conservation;
        ReadConservation(cons_path, conservation, conservation_messages);
      } catch (...) {
        conservation_error = std::current_exception();
      }
    }
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
  // Declared before the thread's future, so that it outlives the thread on
  // every way out of this function (the future waits for it).
  OtherFiles other;
  const auto read_other = [&] { other.Read(tf_path, cons_path, data, choice); };
  std::future<void> reading;
  try {
    reading = std::async(std::launch::async, read_other);
  } catch (const std::system_error&) {
    // No thread to be had: the files are read in turn, when they are due.
    reading = std::async(std::launch::deferred, read_other);
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
  reading.get();
  if (choice.tf) {
    other.tf_messages.ShowIn(sink);
    data.factors = std::move(other.factors);
    if (other.tf_error) std::rethrow_exception(other.tf_error);
  } else {
    data.factors.clear();
  }
  data.site_details.assign(data.factors.size(), {});
  phase(kPhaseReadConservation);
  if (choice.conservation) {
    other.conservation_messages.ShowIn(sink);
    data.conservation = std::move(other.conservation);
  } else {
    data.conservation = TConserved();
  }
  if (other.conservation_error) {
    std::rethrow_exception(other.conservation_error);
  }
  return true;
}

}  // namespace tessarin
