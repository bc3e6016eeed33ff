#include "view/html_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/view/view_test_support.h"
#include "view/rich_view.h"

namespace tessarin {
namespace {

using view_test::AllBytesButLineFeed;
using view_test::BuildSampleView;

std::string Html(const RichView& view) {
  std::ostringstream out;
  WriteHtml(view, out);
  return out.str();
}

// The text inside <pre>, with the writer's own span tags removed and
// character references decoded; fails the test on any other markup.
std::string PreText(const std::string& html) {
  const std::size_t open = html.find("<pre>\n");
  const std::size_t close = html.rfind("</pre>");
  EXPECT_NE(open, std::string::npos);
  EXPECT_NE(close, std::string::npos);
  const std::string body = html.substr(open + 6, close - open - 6);
  static const std::regex kToken(
      "<span class=\"c[0-9]+\">|</span>|&amp;|&lt;|&gt;|&quot;|&#39;|"
      "&#x[0-9a-f]{2};|[<&]");
  static const std::map<std::string, char> kNamed = {{"&amp;", '&'},
                                                     {"&lt;", '<'},
                                                     {"&gt;", '>'},
                                                     {"&quot;", '"'},
                                                     {"&#39;", '\''}};
  std::string text;
  std::size_t at = 0;
  for (std::sregex_iterator it(body.begin(), body.end(), kToken), end;
       it != end; ++it) {
    text += body.substr(at, it->position() - at);
    at = it->position() + it->length();
    const std::string token = it->str();
    if (token == "<" || token == "&") {
      ADD_FAILURE() << "unescaped " << token << " at " << it->position();
    } else if (kNamed.count(token)) {
      text += kNamed.at(token);
    } else if (token[0] == '&') {
      text += static_cast<char>(std::stoi(token.substr(3, 2), nullptr, 16));
    }
  }
  return text + body.substr(at);
}

TEST(HtmlWriterTest, SampleMatchesGoldenFile) {
  RichView view;
  BuildSampleView(view);
  view_test::ExpectMatchesGolden(Html(view), "view_sample.html");
}

TEST(HtmlWriterTest, HostileTextAddsNoMarkup) {
  RichView view;
  view.AppendLine(AllBytesButLineFeed());
  view.AppendLine("</pre><script>alert(\"x\")</script><a href='javascript:x'>");
  view.AppendLine("&lt; &amp;#60; \">\"");
  SetRangeStyle(view, 0, 30, 40, kFontBold);
  SetRangeColor(view, 1, 5, 10, 0x0000FF);
  SetRangeBackColor(view, 2, 0, 6, 0x00FFFF);

  const std::string html = Html(view);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<a "), std::string::npos);
  std::string expected;
  for (std::size_t line = 0; line < view.LineCount(); ++line) {
    expected += std::string(view.Line(line)) + "\n";
  }
  EXPECT_EQ(PreText(html), expected);
}

TEST(HtmlWriterTest, EmptyFirstLineSurvivesThePreNewline) {
  RichView view;
  view.AppendLine("");
  view.AppendLine("x");
  EXPECT_EQ(PreText(Html(view)), "\nx\n");
}

}  // namespace
}  // namespace tessarin
