#include "view/html_writer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view/colors.h"
#include "view/output_buffer.h"

namespace tessarin {

namespace {

constexpr std::string_view kPageStart =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"windows-1252\">\n"
    "<title>Tessarin view</title>\n"
    "<style>\n"
    "pre { font-family: \"Courier New\", monospace; font-size: 15px; }\n";
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

std::string CssColor(Rgb rgb) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string css = "#";
  for (const std::uint8_t part : {rgb.red, rgb.green, rgb.blue}) {
    css += kHex[part >> 4];
    css += kHex[part & 0xF];
  }
  return css;
}

// The declarations of a run's class; empty when it looks like plain text.
std::string CssDeclarations(const CharAttributes& attributes) {
  const Appearance shown =
      ResolveAppearance(attributes.color, attributes.back, attributes.style);
  std::string css;
  if (shown.text) css += " color: " + CssColor(*shown.text) + ";";
  if (shown.back) css += " background-color: " + CssColor(*shown.back) + ";";
  if (shown.bold) css += " font-weight: bold;";
  if (shown.italic) css += " font-style: italic;";
  if (shown.underline || shown.strike_out) {
    css += " text-decoration:";
    if (shown.underline) css += " underline";
    if (shown.strike_out) css += " line-through";
    css += ";";
  }
  return css;
}

// Class "cN" for each attribute id in use that looks different from plain
// text, numbered in order of first use; writes the style sheet rules.
std::vector<std::string> WriteClasses(const RichView& view, DocumentOut& out) {
  std::vector<std::string> class_of(view.AttributeIdCount());
  std::size_t count = 0;
  for (const std::uint32_t id : UsedAttributeIds(view)) {
    const std::string css = CssDeclarations(view.AttributesOfId(id));
    if (css.empty()) continue;
    class_of[id] = "c" + std::to_string(++count);
    out.Put('.');
    out.Append(class_of[id]);
    out.Append(" {");
    out.Append(css);
    out.Append(" }\n");
  }
  return class_of;
}

// Bytes that HTML text cannot hold as they are: markup characters and
// control bytes other than the tab.
constexpr EscapeSet kHtmlSpecial =
    MakeEscapeSet(0x20, '\t', false, "\x7f&<>\"'");

void WriteEscaped(std::string_view text, DocumentOut& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  AppendEscaped(text, kHtmlSpecial, out,
                [](unsigned char byte, DocumentOut& to) {
                  switch (byte) {
                    case '&':
                      to.Append("&amp;");
                      return;
                    case '<':
                      to.Append("&lt;");
                      return;
                    case '>':
                      to.Append("&gt;");
                      return;
                    case '"':
                      to.Append("&quot;");
                      return;
                    case '\'':
                      to.Append("&#39;");
                      return;
                    default:
                      to.Append("&#x");
                      to.Put(kHex[byte >> 4]);
                      to.Put(kHex[byte & 0xF]);
                      to.Put(';');
                  }
                });
}

void WriteLine(const RichView& view, std::size_t line,
               const std::vector<std::string>& class_of, DocumentOut& out) {
  const std::string_view text = view.Line(line);
  ForEachAttributeRun(
      view, line,
      [&](std::uint64_t column, std::uint64_t length, std::uint32_t id) {
        const std::string_view piece = text.substr(column, length);
        if (class_of[id].empty()) {
          WriteEscaped(piece, out);
          return;
        }
        out.Append("<span class=\"");
        out.Append(class_of[id]);
        out.Append("\">");
        WriteEscaped(piece, out);
        out.Append("</span>");
      });
  out.Put('\n');
}

}  // namespace

void WriteHtml(const RichView& view, std::ostream& out) {
  DocumentOut document(out);
  document.Append(kPageStart);
  const std::vector<std::string> class_of = WriteClasses(view, document);
  document.Append(kBodyStart);
  for (std::size_t line = 0; line < view.LineCount() && document.Good();
       ++line) {
    WriteLine(view, line, class_of, document);
  }
  document.Append(kPageEnd);
}

}  // namespace tessarin
