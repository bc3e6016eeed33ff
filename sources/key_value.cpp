#include "sources/key_value.h"

#include <cstdint>

#include "text/strings.h"

namespace tessarin {

std::string KeyValue(const LineText& text, const KeyHit& hit,
                     std::string_view key, std::string_view junk) {
  const std::string_view line = text.Line(hit.line);
  const auto from = static_cast<std::int64_t>(hit.position + key.size());
  const auto to = static_cast<std::int64_t>(line.size());
  return FilterChars(/*remove_mode=*/true, CopyRange(line, from, to), junk);
}

}  // namespace tessarin
