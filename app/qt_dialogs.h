// The desktop's own file dialogs and message boxes behind the interfaces of
// app/dialogs.h.
#ifndef TESSARIN_APP_QT_DIALOGS_H_
#define TESSARIN_APP_QT_DIALOGS_H_

#include <optional>
#include <string>

#include "app/dialogs.h"

class QFileDialog;
class QWidget;

namespace tessarin {

// The window's open dialog: any name may be typed (one that names no file
// gets its own message), no file-type filter.
QFileDialog* CreateOpenDialog(QWidget* parent);
// The window's save dialog: no file-type filter, no default extension,
// resizable, and it asks before it lets an existing file be replaced.
QFileDialog* CreateSaveDialog(QWidget* parent);

// Runs the two dialog objects that the window owns. The open dialog is one
// object for every file button, so it starts on the file chosen last.
class QtFileDialogs : public FileDialogs {
 public:
  // Both dialogs must outlive this object.
  QtFileDialogs(QFileDialog& open_dialog, QFileDialog& save_dialog)
      : open_(open_dialog), save_(save_dialog) {}

  std::optional<std::string> OpenFile() override;
  std::optional<std::string> SaveFile() override;

 private:
  QFileDialog& open_;
  QFileDialog& save_;
};

// A modal QMessageBox with one OK button over `parent`.
class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void Present(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_QT_DIALOGS_H_
