// Told when a long step of a command begins, so that a window can say what is
// being done and the batch front end can time each step.
#ifndef TESSARIN_TEXT_PROGRESS_H_
#define TESSARIN_TEXT_PROGRESS_H_

#include <string_view>

namespace tessarin {

// The steps, as the observers name them.
inline constexpr std::string_view kPhaseReadFasta = "read FASTA";
inline constexpr std::string_view kPhaseReadTf = "read TF";
inline constexpr std::string_view kPhaseReadConservation = "read conservation";
inline constexpr std::string_view kPhaseAnnotate = "annotate";
inline constexpr std::string_view kPhaseHighlight = "highlight";
inline constexpr std::string_view kPhaseFigure = "lay out figure";
inline constexpr std::string_view kPhaseWrite = "write";

class ProgressObserver {
 public:
  virtual ~ProgressObserver() = default;
  // A step begins; the previous one, if any, has ended.
  virtual void PhaseStarted(std::string_view phase) = 0;
  // The command has ended.
  virtual void Finished() {}
};

}  // namespace tessarin

#endif  // TESSARIN_TEXT_PROGRESS_H_
