#include "app/busy_indicator.h"

#include <QGuiApplication>
#include <QLabel>

namespace tessarin {

QString StepText(std::string_view phase) {
  if (phase == kPhaseReadFasta)
    return QStringLiteral("Reading the alignment...");
  if (phase == kPhaseReadTf) return QStringLiteral("Reading the TF file...");
  if (phase == kPhaseReadConservation) {
    return QStringLiteral("Reading the conservation file...");
  }
  if (phase == kPhaseAnnotate) {
    return QStringLiteral("Annotating binding sites...");
  }
  if (phase == kPhaseWrite) return QStringLiteral("Saving...");
  // Highlighting runs under the annotation's own completion text.
  return QString();
}

void BusyIndicator::PhaseStarted(std::string_view phase) {
  if (!busy_) {
    busy_ = true;
    label_changed_by_command_ = false;
    kept_text_ = label_->text();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  const QString text = StepText(phase);
  if (text.isEmpty()) return;
  label_->setText(text);
  label_->adjustSize();
  label_->repaint();
}

void BusyIndicator::Finished() {
  if (!busy_) return;
  busy_ = false;
  QGuiApplication::restoreOverrideCursor();
  if (label_changed_by_command_) return;
  label_->setText(kept_text_);
  label_->adjustSize();
  label_->repaint();
}

}  // namespace tessarin
