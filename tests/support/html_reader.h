// The strict reader for the HTML pages the writer produces, shared by the
// writer's tests and the checks over whole pipelines.
#ifndef TESSARIN_TESTS_SUPPORT_HTML_READER_H_
#define TESSARIN_TESTS_SUPPORT_HTML_READER_H_

#include <string>
#include <string_view>

namespace tessarin::harness {

struct HtmlReading {
  // Empty when the page parses as the writer's: a doctype, then only the
  // elements html, head, meta, title, style, body, pre and span, each inside
  // the element the writer puts it in, with no attribute but charset (meta)
  // and class (span, named c and a number); every element closed in order;
  // <pre> followed by the line end that parsers drop; in text only the
  // references &amp; &lt; &gt; &quot; &#39; and &#xHH;, no raw markup
  // character and no control byte but tab and line end; no text outside
  // <pre> but white space. Otherwise what is wrong first and where; the
  // reading stops there.
  std::string problem;
  // The text of <pre>, without the line end after its start tag, with
  // references decoded.
  std::string text;
};

HtmlReading ReadHtml(std::string_view html);

// Empty when `html` reads without a problem and its text is `text`;
// otherwise what is wrong first.
std::string HtmlProblem(std::string_view html, std::string_view text);

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_HTML_READER_H_
