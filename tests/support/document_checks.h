// Strict readers for the documents the writers produce. Each checks that a
// document is well formed, uses nothing but its writer's own vocabulary, and
// carries the view exactly; each returns an empty text when all holds and
// otherwise says what is wrong first.
#ifndef TESSARIN_TESTS_SUPPORT_DOCUMENT_CHECKS_H_
#define TESSARIN_TESTS_SUPPORT_DOCUMENT_CHECKS_H_

#include <string>
#include <string_view>
#include <vector>

#include "text/arrays.h"

namespace tessarin::harness {

// `rtf` must be one balanced group followed by nothing but line ends; use
// only the control words of view/rtf_format.h and the control symbols \',
// \\, \{ and \}; name no colour beyond its colour table; hold no raw control
// or high byte; and its text outside the font and colour tables, with \par
// as a line end and \tab as a tab, must be `text`.
std::string RtfProblem(std::string_view rtf, std::string_view text);

// `html` must parse as the writer's page: a doctype, then only the elements
// html, head, meta, title, style, body, pre and span, each inside the element
// the writer puts it in, with no attribute but charset (meta) and class
// (span); every element closed in order; in text only the references &amp;
// &lt; &gt; &quot; &#39; and &#xHH;, no raw markup character and no control
// byte but tab and line end; no text outside <pre> but white space. The text
// of <pre>, without the line end that follows its start tag, must be `text`.
std::string HtmlProblem(std::string_view html, std::string_view text);

// What the JSON document must carry.
struct JsonExpectation {
  std::vector<std::string> lines;
  ADWord line_index;
  std::vector<std::string> messages;
  std::string status;
  std::vector<std::string> inspect;
};

// `json` must parse; hold exactly the keys lines, lineIndex, runs, messages,
// status and inspect in that order; give back every byte of every text
// (each code point one byte, none above U+00FF); and hold runs that lie
// inside their lines, in order, without overlap, with 32-bit colours or null
// and style bits of at most 15.
std::string JsonProblem(std::string_view json, const JsonExpectation& expected);

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_DOCUMENT_CHECKS_H_
