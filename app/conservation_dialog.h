// The question Compute Conservation asks: the width and step of the windows
// and, optionally, a reference row. The window talks to this interface only,
// so tests answer it without a modal dialog.
#ifndef TESSARIN_APP_CONSERVATION_DIALOG_H_
#define TESSARIN_APP_CONSERVATION_DIALOG_H_

#include <optional>
#include <string>
#include <vector>

#include "sources/computed_conservation.h"

class QWidget;

namespace tessarin {

class ConservationQuestions {
 public:
  virtual ~ConservationQuestions() = default;
  // Asks for the windows, offering `rows` (the alignment's names) as the
  // reference; an empty reference means all pairs. Nothing: cancelled.
  virtual std::optional<WindowSettings> AskWindows(
      const std::vector<std::string>& rows) = 0;
};

// A modal dialog over `parent`: width and step (from 1, defaults 100 and 1)
// and a reference chooser whose first entry is "(all pairs)".
class QtConservationQuestions : public ConservationQuestions {
 public:
  explicit QtConservationQuestions(QWidget* parent) : parent_(parent) {}
  std::optional<WindowSettings> AskWindows(
      const std::vector<std::string>& rows) override;

 private:
  QWidget* parent_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_CONSERVATION_DIALOG_H_
