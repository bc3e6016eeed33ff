// Writing the view's text without formatting.
#ifndef TESSARIN_VIEW_TEXT_WRITER_H_
#define TESSARIN_VIEW_TEXT_WRITER_H_

#include <ostream>

#include "view/rich_view.h"

namespace tessarin {

// Writes every line exactly, each followed by "\n". Linear time, no copy of
// the text. Failures show in the stream's state.
void WriteText(const RichView& view, std::ostream& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_TEXT_WRITER_H_
