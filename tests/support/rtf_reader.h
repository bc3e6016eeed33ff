// The strict reader for the RTF documents the writer produces, shared by the
// writer's tests and the checks over whole pipelines.
#ifndef TESSARIN_TESTS_SUPPORT_RTF_READER_H_
#define TESSARIN_TESTS_SUPPORT_RTF_READER_H_

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace tessarin::harness {

struct RtfReading {
  // Empty when the document is one balanced group followed by nothing but
  // line ends; uses only the control words of view/rtf_format.h and the
  // control symbols \', \\, \{ and \}; names no colour beyond its colour
  // table; and holds no raw control or high byte. Otherwise what is wrong
  // first and where; the reading stops there.
  std::string problem;
  // The text outside the font and colour tables, with \par as a line end,
  // \tab as a tab and \'hh as its byte.
  std::string text;
  // The name of every control word, tables included.
  std::multiset<std::string, std::less<>> words;
  // How deep groups nest; the document's own group is depth 1.
  std::size_t max_depth = 0;
};

RtfReading ReadRtf(std::string_view rtf);

// Empty when `rtf` reads without a problem and its text is `text`;
// otherwise what is wrong first.
std::string RtfProblem(std::string_view rtf, std::string_view text);

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_RTF_READER_H_
