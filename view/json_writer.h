// Writing the view as a JSON document, for downstream tools and for checking.
#ifndef TESSARIN_VIEW_JSON_WRITER_H_
#define TESSARIN_VIEW_JSON_WRITER_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "text/arrays.h"
#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

// What the JSON document carries besides the view.
struct JsonDocumentExtras {
  ADWord line_index;                     // empty when nothing was annotated
  std::vector<std::string> messages;     // every message reported, in order
  std::string status;                    // the status label at the end
  std::vector<std::string> inspect;      // the status after each inspection
  std::optional<Provenance> provenance;  // where the document came from
};

// Each byte as the code point of the same value, UTF-8 encoded, into
// `utf8` (emptied first): how every JSON document of the project writes
// byte strings.
void BytesToUtf8(std::string_view bytes, std::string& utf8);

// Writes one JSON object with the keys, in this order:
//   "lines"     the view's lines;
//   "lineIndex" extras.line_index;
//   "runs"      per line, the maximal runs of characters whose attributes
//               differ from the default, by line then column, each
//               {"line", "col", "len", "color", "back", "style"} with the
//               stored colour values (unsigned; null when never set) and the
//               style bits; line ends belong to no run;
//   "messages", "status", "inspect" from extras;
//   "provenance" when extras has one: {"title", "inputs": [{"role", "path",
//               "size", "sha256"}], "scores": [{"name", "chosen",
//               "cutoff"}], "rule", "program", "date"}, on one line.
// Texts are byte strings: each byte becomes the code point of the same value
// (128..255 as U+0080..U+00FF), written as UTF-8. One array element per
// output line.
//
// Streams in linear time; memory for one line at a time. Failures show in
// the stream's state; writing stops early once the stream fails.
void WriteJson(const RichView& view, const JsonDocumentExtras& extras,
               std::ostream& out);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_JSON_WRITER_H_
