// The modal questions the window asks: which file to open or save, and the
// message boxes. The window talks to these interfaces only, so tests answer
// them with scripted fakes and no modal dialog ever opens there.
#ifndef TESSARIN_APP_DIALOGS_H_
#define TESSARIN_APP_DIALOGS_H_

#include <optional>
#include <string>

namespace tessarin {

// File choice. Paths are in the file system's encoding, as the workspace
// takes them. Nothing (std::nullopt) means the user cancelled.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Asks for a file to read. The path need not name an existing file: the
  // caller checks that.
  virtual std::optional<std::string> OpenFile() = 0;
  // Asks for a file to write, after confirming that an existing file may be
  // replaced.
  virtual std::optional<std::string> SaveFile() = 0;
};

// Shows one text in a modal box with one OK button and returns when the user
// has acknowledged it. The text may hold line breaks.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Present(const std::string& text) = 0;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_DIALOGS_H_
