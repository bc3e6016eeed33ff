// Writing the view as an RTF document.
#ifndef TESSARIN_VIEW_RTF_WRITER_H_
#define TESSARIN_VIEW_RTF_WRITER_H_

#include <ostream>

#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// Writes the view as one RTF document (view/rtf_format.h): "Courier New"
// 11 pt, a colour table of the colours shown (after the colour rule), one
// paragraph per line, and each run of equal attributes in one group with its
// styles, text colour and background. Every byte of the text is escaped, so
// no text can add a control word, group, field or link: \ { } are quoted, a
// tab is \tab, and every other byte below 32 or from 127 is \'hh (bytes from
// 128 read as code page 1252). Line ends' attributes are not written.
//
// Streams in linear time with memory for the colour table only. Failures
// show in the stream's state; writing stops early once the stream fails.
//
// One tab stop for the whole document, where the window puts it, so that
// column 1 of every row stands at one place; an A4 landscape page with
// narrow margins. With `provenance`, the document information group carries
// its facts.
void WriteRtf(const RichView& view, std::ostream& out,
              const Provenance* provenance = nullptr);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_RTF_WRITER_H_
