#include "app/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace tessarin {

namespace {

constexpr const char* kBoxTitle = "Tessarin";

std::optional<std::string> RunDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return QFile::encodeName(chosen.front()).toStdString();
}

}  // namespace

QFileDialog* CreateOpenDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::AnyFile);
  return dialog;
}

QFileDialog* CreateSaveDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(QString());
  dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog->setSizeGripEnabled(true);
  return dialog;
}

std::optional<std::string> QtFileDialogs::OpenFile() {
  std::optional<std::string> path = RunDialog(open_);
  // Start on this file next time, whichever button asks.
  if (path)
    open_.selectFile(QFile::decodeName(QByteArray::fromStdString(*path)));
  return path;
}

std::optional<std::string> QtFileDialogs::SaveFile() {
  return RunDialog(save_);
}

void QtMessageBoxes::Present(const std::string& text) {
  QMessageBox box(
      QMessageBox::NoIcon, kBoxTitle,
      QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
      QMessageBox::Ok, parent_);
  // Messages carry names and values from the input files: never markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace tessarin
