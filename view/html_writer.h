// Writing the view as a self-contained HTML page.
#ifndef TESSARIN_VIEW_HTML_WRITER_H_
#define TESSARIN_VIEW_HTML_WRITER_H_

#include <ostream>

#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// Writes the view as one HTML page with an inline style sheet and no script:
// the lines in a <pre> in "Courier New" (any monospace font as fallback),
// each run of equal attributes in a <span> whose class carries its colours
// (after the colour rule) and styles. The page is declared windows-1252 and
// bytes from 128 are written as they are, as in the RTF document; & < > " '
// are written as references, and control bytes other than tab as numeric
// references, so no text can add an element or attribute.
//
// Streams in linear time with memory for the style sheet only. Failures show
// in the stream's state; writing stops early once the stream fails.
// The page's <pre> has the window's tab stop as its tab size, so column 1 of
// every row stands at one place. With `provenance`, the head carries its
// facts as <meta> elements.
void WriteHtml(const RichView& view, std::ostream& out,
               const Provenance* provenance = nullptr);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_HTML_WRITER_H_
