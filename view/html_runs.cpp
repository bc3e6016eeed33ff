#include "view/html_runs.h"

#include "view/figure_document.h"

namespace tessarin {

std::string CssColor(Rgb rgb) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string css = "#";
  for (const std::uint8_t part : {rgb.red, rgb.green, rgb.blue}) {
    css += kHex[part >> 4];
    css += kHex[part & 0xF];
  }
  return css;
}

std::string CssDeclarations(const Appearance& shown) {
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

HtmlClasses::HtmlClasses(const RichView& view)
    : class_of_(view.AttributeIdCount()) {
  for (const std::uint32_t id : UsedAttributeIds(view)) {
    const CharAttributes& attributes = view.AttributesOfId(id);
    std::string css = CssDeclarations(
        ResolveAppearance(attributes.color, attributes.back, attributes.style));
    if (css.empty()) continue;
    class_of_[id] = "c" + std::to_string(rules_.size() + 1);
    rules_.emplace_back(class_of_[id], std::move(css));
  }
}

void HtmlClasses::WriteRules(DocumentOut& out) const {
  for (const auto& [name, css] : rules_) {
    out.Put('.');
    out.Append(name);
    out.Append(" {");
    out.Append(css);
    out.Append(" }\n");
  }
}

namespace {

// Bytes that HTML text cannot hold as they are: markup characters and
// control bytes other than the tab.
constexpr EscapeSet kHtmlSpecial =
    MakeEscapeSet(0x20, '\t', false, "\x7f&<>\"'");

}  // namespace

void WriteHtmlEscaped(std::string_view text, DocumentOut& out) {
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

void WriteHtmlSpan(std::string_view class_name, std::string_view text,
                   DocumentOut& out) {
  if (class_name.empty()) {
    WriteHtmlEscaped(text, out);
    return;
  }
  out.Append("<span class=\"");
  out.Append(class_name);
  out.Append("\">");
  WriteHtmlEscaped(text, out);
  out.Append("</span>");
}

void WriteHtmlRuns(const RichView& view, std::size_t line, std::uint64_t from,
                   std::uint64_t to, const HtmlClasses& classes,
                   DocumentOut& out) {
  const std::string_view text = view.Line(line);
  ForEachAttributeRunIn(
      view, line, from, to,
      [&](std::uint64_t column, std::uint64_t length, std::uint32_t id) {
        WriteHtmlSpan(classes.Of(id), text.substr(column, length), out);
      });
}

namespace {

void WriteMetaElement(std::string_view name, std::string_view content,
                      DocumentOut& out) {
  out.Append("<meta name=\"");
  out.Append(name);
  out.Append("\" content=\"");
  WriteHtmlEscaped(content, out);
  out.Append("\">\n");
}

}  // namespace

void WriteHtmlMeta(const Provenance& provenance, DocumentOut& out) {
  WriteMetaElement("generator", provenance.program, out);
  WriteMetaElement("date", provenance.date, out);
  WriteMetaElement("description", provenance.title, out);
  for (const std::string& line : ProvenanceLines(provenance)) {
    WriteMetaElement("provenance", line, out);
  }
}

}  // namespace tessarin
