#include "view/html_writer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view/colors.h"
#include "view/html_runs.h"
#include "view/output_buffer.h"
#include "view/parallel_lines.h"
#include "view/row_layout.h"

namespace tessarin {

namespace {

constexpr std::string_view kPageStart =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"windows-1252\">\n"
    "<title>Tessarin view</title>\n";
constexpr std::string_view kStyleStart =
    "<style>\n"
    "pre { font-family: \"Courier New\", monospace; font-size: 15px;";
// The rule's end. Between the two, the tab stop: every row's first tab
// reaches it, so column 1 of every row stands at one place.
constexpr std::string_view kPreRuleEnd = " }\n";
// The newline after <pre> is dropped by HTML parsers, so an empty first line
// survives.
constexpr std::string_view kBodyStart =
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<pre>\n";
constexpr std::string_view kPageEnd =
    "</pre>\n"
    "</body>\n"
    "</html>\n";

void WriteLine(const RichView& view, std::size_t line,
               const HtmlClasses& classes, DocumentOut& out) {
  WriteHtmlRuns(view, line, 0, view.Line(line).size(), classes, out);
  out.Put('\n');
}

}  // namespace

void WriteHtml(const RichView& view, std::ostream& out,
               const Provenance* provenance) {
  DocumentOut document(out);
  document.Append(kPageStart);
  if (provenance != nullptr) WriteHtmlMeta(*provenance, document);
  document.Append(kStyleStart);
  const std::uint64_t tab_stop = FirstTabStop([&](auto&& visit) {
    for (std::size_t line = 0; line < view.LineCount(); ++line) {
      visit(view.Line(line));
    }
  });
  if (tab_stop > 0) {
    const std::string size = std::to_string(tab_stop);
    document.Append(" tab-size: " + size + "; -moz-tab-size: " + size + ";");
  }
  document.Append(kPreRuleEnd);
  const HtmlClasses classes(view);
  classes.WriteRules(document);
  document.Append(kBodyStart);
  WriteLinesInParallel(
      view,
      [&](std::size_t line, DocumentOut& to) {
        WriteLine(view, line, classes, to);
      },
      document);
  document.Append(kPageEnd);
}

}  // namespace tessarin
