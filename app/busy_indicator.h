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

// The text the status label shows while a step runs, or an empty text for a
// step that shows none.
QString StepText(std::string_view phase);

class BusyIndicator : public ProgressObserver {
 public:
  explicit BusyIndicator(QLabel* label) : label_(label) {}
  ~BusyIndicator() override { Finished(); }

  // A step begins: the first one sets the wait cursor and remembers the
  // label's text; each one with a text of its own shows it.
  void PhaseStarted(std::string_view phase) override;
  // Restores the cursor, and the label's text when only step texts were
  // shown since the command began (a command's own status texts stay).
  void Finished() override;
  // The command set a status text of its own: it stays when the command ends.
  void StatusChanged() { label_changed_by_command_ = true; }

 private:
  QLabel* label_;
  bool busy_ = false;
  bool label_changed_by_command_ = false;
  QString kept_text_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_BUSY_INDICATOR_H_
