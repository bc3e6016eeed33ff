#include "view/rtf_runs.h"

#include <charconv>

#include "view/figure_document.h"
#include "view/rtf_format.h"

namespace tessarin {

RtfPalette::RtfPalette(const RichView& view)
    : run_open_(view.AttributeIdCount()) {
  for (const std::uint32_t id : UsedAttributeIds(view)) {
    const CharAttributes& attributes = view.AttributesOfId(id);
    run_open_[id] = Opening(
        ResolveAppearance(attributes.color, attributes.back, attributes.style));
  }
}

std::size_t RtfPalette::ColorIndex(Rgb rgb) {
  const std::uint32_t key = rgb.red | (rgb.green << 8) | (rgb.blue << 16);
  const auto [it, added] = index_.try_emplace(key, colors_.size() + 1);
  if (added) colors_.push_back(rgb);
  return it->second;
}

std::string RtfPalette::Opening(const Appearance& shown) {
  std::string words;
  if (shown.bold) words += rtf::kBold;
  if (shown.italic) words += rtf::kItalic;
  if (shown.underline) words += rtf::kUnderline;
  if (shown.strike_out) words += rtf::kStrikeOut;
  if (shown.text) {
    words += rtf::kTextColor;
    words += std::to_string(ColorIndex(*shown.text));
  }
  if (shown.back) {
    const std::string index = std::to_string(ColorIndex(*shown.back));
    words += rtf::kShading;
    words += rtf::kShadingColor;
    words += index;
    words += rtf::kBackColor;
    words += index;
  }
  return words;
}

namespace {

// Bytes that RTF text cannot hold as they are: control bytes, the three
// syntax characters and everything outside 7-bit ASCII.
constexpr EscapeSet kRtfSpecial = MakeEscapeSet(0x20, -1, true, "\x7f\\{}");

}  // namespace

void WriteRtfEscaped(std::string_view text, DocumentOut& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  AppendEscaped(text, kRtfSpecial, out,
                [](unsigned char byte, DocumentOut& to) {
                  if (byte == '\\' || byte == '{' || byte == '}') {
                    to.Put('\\');
                    to.Put(static_cast<char>(byte));
                  } else if (byte == '\t') {
                    to.Append(rtf::kTab);
                    to.Put(' ');  // ends the control word; readers drop it
                  } else {
                    to.Append(rtf::kHexEscape);
                    to.Put(kHex[byte >> 4]);
                    to.Put(kHex[byte & 0xF]);
                  }
                });
}

void WriteRtfGroup(std::string_view opening, std::string_view text,
                   DocumentOut& out) {
  if (opening.empty()) {
    WriteRtfEscaped(text, out);
    return;
  }
  out.Put('{');
  out.Append(opening);
  out.Put(' ');
  WriteRtfEscaped(text, out);
  out.Put('}');
}

void WriteRtfRuns(const RichView& view, std::size_t line, std::uint64_t from,
                  std::uint64_t to, const RtfPalette& palette,
                  DocumentOut& out) {
  const std::string_view text = view.Line(line);
  ForEachAttributeRunIn(
      view, line, from, to,
      [&](std::uint64_t column, std::uint64_t length, std::uint32_t id) {
        WriteRtfGroup(palette.RunOpening(id), text.substr(column, length), out);
      });
}

namespace {

// The number at `from` (`count` digits) of an ISO 8601 date, or nothing.
std::optional<int> DatePart(std::string_view date, std::size_t from,
                            std::size_t count) {
  if (date.size() < from + count) return std::nullopt;
  int value = 0;
  const char* begin = date.data() + from;
  const auto [end, error] = std::from_chars(begin, begin + count, value);
  if (error != std::errc() || end != begin + count) return std::nullopt;
  return value;
}

void WriteInfoText(std::string_view word, std::string_view text,
                   DocumentOut& out) {
  out.Put('{');
  out.Append(word);
  out.Put(' ');
  WriteRtfEscaped(text, out);
  out.Put('}');
}

}  // namespace

void WriteRtfInfo(const Provenance& provenance, DocumentOut& out) {
  out.Put('{');
  out.Append(rtf::kInfo);
  WriteInfoText(rtf::kInfoTitle, provenance.title, out);
  const std::vector<std::string> lines = ProvenanceLines(provenance);
  std::string comments;
  for (const std::string& line : lines) {
    if (line.rfind("Criteria: ", 0) == 0) {
      WriteInfoText(rtf::kInfoSubject, line, out);
    }
    if (!comments.empty()) comments += "; ";
    comments += line;
  }
  WriteInfoText(rtf::kInfoComment, comments, out);
  // 2026-12-08T15:04:05Z
  const auto year = DatePart(provenance.date, 0, 4);
  const auto month = DatePart(provenance.date, 5, 2);
  const auto day = DatePart(provenance.date, 8, 2);
  const auto hour = DatePart(provenance.date, 11, 2);
  const auto minute = DatePart(provenance.date, 14, 2);
  if (year && month && day && hour && minute) {
    out.Put('{');
    out.Append(rtf::kInfoCreated);
    for (const auto& [word, value] :
         {std::pair{rtf::kYear, *year}, std::pair{rtf::kMonth, *month},
          std::pair{rtf::kDay, *day}, std::pair{rtf::kHour, *hour},
          std::pair{rtf::kMinute, *minute}}) {
      out.Append(word);
      out.Append(std::to_string(value));
    }
    out.Put('}');
  }
  out.Append("}\n");
}

void WriteRtfColorTable(const RtfPalette& palette, DocumentOut& out) {
  out.Append(rtf::kColorTableOpen);
  for (const Rgb& rgb : palette.Colors()) {
    out.Append(rtf::kRed);
    out.Append(std::to_string(rgb.red));
    out.Append(rtf::kGreen);
    out.Append(std::to_string(rgb.green));
    out.Append(rtf::kBlue);
    out.Append(std::to_string(rgb.blue));
    out.Put(';');
  }
  out.Append("}\n");
}

}  // namespace tessarin
