// The modal questions the window asks: which file to open or save, and the
// message boxes. The window talks to these interfaces only, so tests answer
// them with scripted fakes and no modal dialog ever opens there.
#ifndef TESSARIN_APP_DIALOGS_H_
#define TESSARIN_APP_DIALOGS_H_

#include <optional>
#include <string>

#include "app/workspace.h"
#include "view/figure_document.h"

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
  // The file to write the site report to (.tsv or .json); the save dialog's
  // answer unless a dialog of its own asks.
  virtual std::optional<std::string> SaveReportFile() { return SaveFile(); }
};

// Where a figure goes: the file and the format of the file-type filter the
// user chose.
struct FigureFile {
  std::string path;
  // kRtf, kHtml, kPdf, kSvg or kPng
  DocumentFormat format = DocumentFormat::kRtf;
};

// The questions of Export Figure, Print Figure and Export View. Nothing
// (std::nullopt) means the user cancelled.
class FigureDialogs {
 public:
  virtual ~FigureDialogs() = default;
  // Asks for block width, title and palette. `default_title` is what an
  // empty title stands for (shown as a hint only: an empty title is
  // returned empty).
  virtual std::optional<FigureOptions> FigureOptionsFor(
      const std::string& default_title) = 0;
  // Asks for a file to write the figure to, after confirming that an
  // existing file may be replaced.
  virtual std::optional<FigureFile> FigureFileToSave() = 0;
  // Asks for a file to write a PNG picture of the view to, after confirming
  // that an existing file may be replaced.
  virtual std::optional<std::string> ViewPictureToSave() = 0;
  // Asks for a printer and prints `figure` on it; false when the user
  // cancelled.
  virtual bool PrintFigure(const FigureDocument& figure) = 0;
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
