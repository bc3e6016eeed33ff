#include "view/html_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/html_reader.h"
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
  // The strict reader refuses any element, attribute, reference or raw
  // markup character that is not the writer's.
  EXPECT_EQ(harness::HtmlProblem(html, view.Text()), "");
}

TEST(HtmlWriterTest, EmptyFirstLineSurvivesThePreNewline) {
  RichView view;
  view.AppendLine("");
  view.AppendLine("x");
  EXPECT_EQ(harness::HtmlProblem(Html(view), "\nx\n"), "");
}

}  // namespace
}  // namespace tessarin
