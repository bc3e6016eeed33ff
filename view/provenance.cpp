#include "view/provenance.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <system_error>

namespace tessarin {

namespace {

constexpr const char* kDateVariable = "SOURCE_DATE_EPOCH";

// Seconds since 1970 from a text of decimal digits only (no sign, no
// blanks); nothing for any other text or one too large for time_t.
std::optional<std::time_t> ParseEpoch(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::time_t seconds = 0;
  const char* const end = text.data() + text.size();
  const std::from_chars_result parsed =
      std::from_chars(text.data(), end, seconds);
  if (parsed.ec != std::errc() || parsed.ptr != end || text.front() == '-') {
    return std::nullopt;
  }
  return seconds;
}

// The time as ISO 8601 UTC; nothing when it names no representable date.
std::optional<std::string> FormatUtc(std::time_t seconds) {
  std::tm utc{};
  if (gmtime_r(&seconds, &utc) == nullptr) return std::nullopt;
  char text[64];
  const std::size_t length =
      std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  if (length == 0) return std::nullopt;
  return std::string(text, length);
}

}  // namespace

std::string DocumentDate() {
  if (const char* value = std::getenv(kDateVariable)) {
    if (const std::optional<std::time_t> seconds = ParseEpoch(value)) {
      if (std::optional<std::string> date = FormatUtc(*seconds)) return *date;
    }
  }
  return FormatUtc(std::time(nullptr)).value_or(std::string());
}

std::string TitleFromPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path
                                                     : path.substr(slash + 1));
}

}  // namespace tessarin
