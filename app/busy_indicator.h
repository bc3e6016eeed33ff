// Shows that a long command is running: a wait cursor and, in the status
// label, the step being done. Commands run in the window's thread, so the
// label is repainted at once rather than at the next turn of the event loop.
#ifndef TESSARIN_APP_BUSY_INDICATOR_H_
#define TESSARIN_APP_BUSY_INDICATOR_H_

#include <QString>
#include <string_view>

#include "text/progress.h"

class QLabel;

namespace tessarin {

// The window's own step after a command changed the view: measuring every
// line for the scroll ranges and painting the first screenful.
inline constexpr std::string_view kPhaseLayout = "lay out view";

// The text the status label shows while a step runs, or an empty text for a
// step that shows none.
QString StepText(std::string_view phase);

class BusyIndicator : public ProgressObserver {
 public:
  explicit BusyIndicator(QLabel* label) : label_(label) {}
  ~BusyIndicator() override;

  // A step begins: the first one sets the wait cursor and remembers the
  // label's text; each one with a text of its own shows it.
  void PhaseStarted(std::string_view phase) override;
  // Restores the cursor and the label's text: the one it had before the
  // first step, or the command's own status text set since. While a window
  // command is open (BeginCommand) this waits for its end.
  void Finished() override;
  // The label now shows a status text of the command's own: it stays when
  // the command ends.
  void StatusChanged();

  // A window command begins and ends. The window lays out and paints the
  // view after the workspace's command has ended; those steps keep the wait
  // cursor until the window command ends. Commands may nest.
  void BeginCommand() { ++commands_; }
  void EndCommand();

 private:
  QLabel* label_;
  bool busy_ = false;
  int commands_ = 0;
  QString kept_text_;
};

// Holds a window command open on a BusyIndicator for its lifetime.
class BusyCommand {
 public:
  explicit BusyCommand(BusyIndicator& busy) : busy_(busy) {
    busy_.BeginCommand();
  }
  ~BusyCommand() { busy_.EndCommand(); }
  BusyCommand(const BusyCommand&) = delete;
  BusyCommand& operator=(const BusyCommand&) = delete;

 private:
  BusyIndicator& busy_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_BUSY_INDICATOR_H_
