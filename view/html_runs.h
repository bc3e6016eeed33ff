// The pieces every HTML document of the view is made of: a style class per
// look in use, and escaped text in spans of those classes. The view's
// document and the figure's share them, so a character looks the same in
// both.
#ifndef TESSARIN_VIEW_HTML_RUNS_H_
#define TESSARIN_VIEW_HTML_RUNS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view/colors.h"
#include "view/output_buffer.h"
#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// "#rrggbb".
std::string CssColor(Rgb rgb);

// The declarations that show `shown` (" color: ...; ..."); empty when it
// looks like plain text.
std::string CssDeclarations(const Appearance& shown);

// Class "cN" for each attribute id in use that looks different from plain
// text, numbered in order of first use.
class HtmlClasses {
 public:
  explicit HtmlClasses(const RichView& view);
  // One style sheet rule per class, each on its own line.
  void WriteRules(DocumentOut& out) const;
  // The class of attribute id `id`; empty for plain text.
  const std::string& Of(std::uint32_t id) const { return class_of_[id]; }

 private:
  std::vector<std::string> class_of_;
  std::vector<std::pair<std::string, std::string>> rules_;  // class, css
};

// Every byte of `text` as HTML text: markup characters as entities, control
// bytes other than the tab as numeric references.
void WriteHtmlEscaped(std::string_view text, DocumentOut& out);

// `text` in a span of class `class_name` (no span when it is empty).
void WriteHtmlSpan(std::string_view class_name, std::string_view text,
                   DocumentOut& out);

// The characters `from` to `to` - 1 of view line `line`, each run of equal
// attributes in a span of its class.
void WriteHtmlRuns(const RichView& view, std::size_t line, std::uint64_t from,
                   std::uint64_t to, const HtmlClasses& classes,
                   DocumentOut& out);

// <meta> elements in a page's head: the program, the date, and one per
// provenance line.
void WriteHtmlMeta(const Provenance& provenance, DocumentOut& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_HTML_RUNS_H_
