// Shared by the strict document readers: how a problem shows bytes and says
// where a document's text parts from the view's.
#ifndef TESSARIN_TESTS_SUPPORT_DOCUMENT_TEXT_H_
#define TESSARIN_TESTS_SUPPORT_DOCUMENT_TEXT_H_

#include <string>
#include <string_view>

namespace tessarin::harness {

inline bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to 40 bytes, printable ASCII as it is and every other byte (and the
// backslash) as \xhh.
inline std::string Printable(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (const char c : bytes.substr(0, 40)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

// Empty when equal; otherwise where the two first differ.
inline std::string Difference(std::string_view what, std::string_view got,
                              std::string_view want) {
  if (got == want) return "";
  std::size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  return std::string(what) + " differs at byte " + std::to_string(at) +
         ": has \"" + Printable(got.substr(at)) + "\", the view \"" +
         Printable(want.substr(at)) + "\"";
}

// A problem found at byte `at` of `document`, with what follows there.
inline std::string ProblemAt(const std::string& problem,
                             std::string_view document, std::size_t at) {
  return problem + " at byte " + std::to_string(at) + ": \"" +
         Printable(document.substr(at)) + "\"";
}

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_DOCUMENT_TEXT_H_
