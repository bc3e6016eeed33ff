#include "app/busy_indicator.h"

#include <QGuiApplication>
#include <QLabel>

#include "app/workspace.h"

namespace tessarin {

QString StepText(std::string_view phase) {
  if (phase == kPhaseReadFasta)
    return QStringLiteral("Reading the alignment...");
  if (phase == kPhaseReadTf) return QStringLiteral("Reading the TF file...");
  if (phase == kPhaseReadConservation) {
    return QStringLiteral("Reading the conservation file...");
  }
  if (phase == kPhaseList) return QStringLiteral("Listing the sequences...");
  if (phase == kPhaseAnnotate) {
    return QStringLiteral("Annotating binding sites...");
  }
  if (phase == kPhaseImportSites) return QStringLiteral("Importing sites...");
  if (phase == kPhaseComputeWindows) {
    return QStringLiteral("Computing conservation...");
  }
  if (phase == kPhaseWrite) return QStringLiteral("Saving...");
  if (phase == kPhaseLayout) return QStringLiteral("Laying out the view...");
  if (phase == kPhaseFigure) return QStringLiteral("Laying out the figure...");
  // Highlighting runs under the annotation's own completion text.
  return QString();
}

BusyIndicator::~BusyIndicator() {
  commands_ = 0;
  Finished();
}

void BusyIndicator::PhaseStarted(std::string_view phase) {
  if (!busy_) {
    busy_ = true;
    kept_text_ = label_->text();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  const QString text = StepText(phase);
  if (text.isEmpty()) return;
  label_->setText(text);
  label_->adjustSize();
  label_->repaint();
}

void BusyIndicator::StatusChanged() {
  if (busy_) kept_text_ = label_->text();
}

void BusyIndicator::EndCommand() {
  if (commands_ > 0) --commands_;
  Finished();
}

void BusyIndicator::Finished() {
  if (!busy_ || commands_ > 0) return;
  busy_ = false;
  QGuiApplication::restoreOverrideCursor();
  if (label_->text() == kept_text_) return;
  label_->setText(kept_text_);
  label_->adjustSize();
  label_->repaint();
}

}  // namespace tessarin
