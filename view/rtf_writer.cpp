#include "view/rtf_writer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "view/colors.h"
#include "view/output_buffer.h"
#include "view/rtf_format.h"

namespace tessarin {

namespace {

// The colour table and, for each attribute id in use, the control words that
// open its run ("" when the run looks like plain text).
class RtfPalette {
 public:
  explicit RtfPalette(const RichView& view)
      : run_open_(view.AttributeIdCount()) {
    for (const std::uint32_t id : UsedAttributeIds(view)) {
      run_open_[id] = RunOpening(view.AttributesOfId(id));
    }
  }

  const std::vector<Rgb>& Colors() const { return colors_; }
  const std::string& RunOpening(std::uint32_t id) const {
    return run_open_[id];
  }

 private:
  // 1-based: entry 0 of the table is the automatic colour.
  std::size_t ColorIndex(Rgb rgb) {
    const std::uint32_t key = rgb.red | (rgb.green << 8) | (rgb.blue << 16);
    const auto [it, added] = index_.try_emplace(key, colors_.size() + 1);
    if (added) colors_.push_back(rgb);
    return it->second;
  }

  std::string RunOpening(const CharAttributes& attributes) {
    const Appearance shown =
        ResolveAppearance(attributes.color, attributes.back, attributes.style);
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

  std::vector<std::string> run_open_;
  std::vector<Rgb> colors_;
  std::unordered_map<std::uint32_t, std::size_t> index_;
};

// Bytes that RTF text cannot hold as they are: control bytes, the three
// syntax characters and everything outside 7-bit ASCII.
constexpr EscapeSet kRtfSpecial = MakeEscapeSet(0x20, -1, true, "\x7f\\{}");

void WriteEscaped(std::string_view text, DocumentOut& out) {
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

void WriteHead(const RtfPalette& palette, DocumentOut& out) {
  out.Append(rtf::kHeader);
  out.Append(rtf::kFontTable);
  out.Put('\n');
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
  out.Append(rtf::kBodyStart);
  out.Append(rtf::kFontSize);
  out.Append(std::to_string(rtf::kFontSizeHalfPoints));
  out.Put('\n');
}

void WriteLine(const RichView& view, std::size_t line,
               const RtfPalette& palette, DocumentOut& out) {
  const std::string_view text = view.Line(line);
  ForEachAttributeRun(
      view, line,
      [&](std::uint64_t column, std::uint64_t length, std::uint32_t id) {
        const std::string_view piece = text.substr(column, length);
        const std::string& opening = palette.RunOpening(id);
        if (opening.empty()) {
          WriteEscaped(piece, out);
          return;
        }
        out.Put('{');
        out.Append(opening);
        out.Put(' ');
        WriteEscaped(piece, out);
        out.Put('}');
      });
  out.Append(rtf::kParagraphEnd);
  out.Put('\n');
}

}  // namespace

void WriteRtf(const RichView& view, std::ostream& out) {
  const RtfPalette palette(view);
  DocumentOut document(out);
  WriteHead(palette, document);
  for (std::size_t line = 0; line < view.LineCount() && document.Good();
       ++line) {
    WriteLine(view, line, palette, document);
  }
  document.Append("}\n");
}

}  // namespace tessarin
