// The value that follows a key on a line of a file, as both annotation
// readers take it: "Name = Fac A;" gives "FacA" for the key "Name =".
#ifndef TESSARIN_SOURCES_KEY_VALUE_H_
#define TESSARIN_SOURCES_KEY_VALUE_H_

#include <string>
#include <string_view>

#include "text/line_file.h"

namespace tessarin {

// The rest of the line that `hit` found, after `key`, with every character
// of `junk` removed (inside the value too). `hit` must name a line of `text`
// (a hit with a non-zero count does).
std::string KeyValue(const LineText& text, const KeyHit& hit,
                     std::string_view key, std::string_view junk);

}  // namespace tessarin

#endif  // TESSARIN_SOURCES_KEY_VALUE_H_
