#include "app/conservation_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <limits>

namespace tessarin {

namespace {

QSpinBox* CountBox(QWidget* parent, int value) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, std::numeric_limits<int>::max());
  box->setValue(value);
  return box;
}

}  // namespace

std::optional<WindowSettings> QtConservationQuestions::AskWindows(
    const std::vector<std::string>& rows) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(QStringLiteral("Compute Conservation"));
  const WindowSettings defaults;
  QSpinBox* width = CountBox(&dialog, static_cast<int>(defaults.width));
  QSpinBox* step = CountBox(&dialog, static_cast<int>(defaults.step));
  auto* reference = new QComboBox(&dialog);
  reference->addItem(QStringLiteral("(all pairs)"));
  for (const std::string& row : rows) {
    reference->addItem(
        QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size())));
  }
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog,
                   &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog,
                   &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("Window width"), width);
  form->addRow(QStringLiteral("Step"), step);
  form->addRow(QStringLiteral("Reference"), reference);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  WindowSettings settings;
  settings.width = static_cast<std::uint32_t>(width->value());
  settings.step = static_cast<std::uint32_t>(step->value());
  const int chosen = reference->currentIndex();
  // The row's own name, as read: exact matching finds it first.
  if (chosen > 0)
    settings.reference = rows[static_cast<std::size_t>(chosen - 1)];
  return settings;
}

}  // namespace tessarin
