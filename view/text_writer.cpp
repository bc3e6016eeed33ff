#include "view/text_writer.h"

#include <string_view>

namespace tessarin {

void WriteText(const RichView& view, std::ostream& out) {
  // The view keeps its text with every line already followed by '\n'.
  const std::string_view text = view.Text();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace tessarin
