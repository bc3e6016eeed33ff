// The pieces every RTF document of the view is made of: a colour table, the
// control words that open a run of equal attributes, and escaped text. The
// view's document and the figure's share them, so a character looks the
// same in both.
#ifndef TESSARIN_VIEW_RTF_RUNS_H_
#define TESSARIN_VIEW_RTF_RUNS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "view/colors.h"
#include "view/output_buffer.h"
#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// The colour table and, for each attribute id in use, the control words that
// open its run ("" when the run looks like plain text).
class RtfPalette {
 public:
  explicit RtfPalette(const RichView& view);

  // The 1-based index of `rgb` in the table (entry 0 is the automatic
  // colour), adding it when it is new.
  std::size_t ColorIndex(Rgb rgb);

  const std::vector<Rgb>& Colors() const { return colors_; }
  const std::string& RunOpening(std::uint32_t id) const {
    return run_open_[id];
  }
  // The control words for `shown`, adding its colours to the table.
  std::string Opening(const Appearance& shown);

 private:
  std::vector<std::string> run_open_;
  std::vector<Rgb> colors_;
  std::unordered_map<std::uint32_t, std::size_t> index_;
};

// Every byte of `text` as RTF text: \ { } quoted, a tab as \tab, every other
// byte below 32 or from 127 as \'hh, so that no text can add a control word,
// group, field or link.
void WriteRtfEscaped(std::string_view text, DocumentOut& out);

// `text` as one group opened by `opening` (no group when it is empty).
void WriteRtfGroup(std::string_view opening, std::string_view text,
                   DocumentOut& out);

// The characters `from` to `to` - 1 of view line `line`, each run of equal
// attributes in its own group.
void WriteRtfRuns(const RichView& view, std::size_t line, std::uint64_t from,
                  std::uint64_t to, const RtfPalette& palette,
                  DocumentOut& out);

// The document information group: the title, the criteria line as the
// subject, every provenance line in the comments, and the creation time.
void WriteRtfInfo(const Provenance& provenance, DocumentOut& out);

// The colour table group and its line end.
void WriteRtfColorTable(const RtfPalette& palette, DocumentOut& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_RTF_RUNS_H_
