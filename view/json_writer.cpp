#include "view/json_writer.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "view/output_buffer.h"
#include "view/parallel_lines.h"

namespace tessarin {

void BytesToUtf8(std::string_view bytes, std::string& utf8) {
  utf8.clear();
  utf8.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
}

namespace {

constexpr std::string_view kIndent = "  ";
constexpr std::string_view kElementIndent = "    ";

// A byte string as a JSON string literal; `scratch` is reused between calls.
void WriteString(std::string_view bytes, std::string& scratch,
                 DocumentOut& out) {
  BytesToUtf8(bytes, scratch);
  out.Append(nlohmann::json(scratch).dump());
}

void WriteKey(std::string_view key, DocumentOut& out) {
  out.Append(kIndent);
  out.Put('"');
  out.Append(key);
  out.Append("\": ");
}

// "key": [ one element per line ] with `element(i)` writing element i.
template <typename WriteElement>
void WriteArray(std::string_view key, std::size_t count, bool last,
                DocumentOut& out, WriteElement&& element) {
  WriteKey(key, out);
  if (count == 0) {
    out.Append(last ? "[]\n" : "[],\n");
    return;
  }
  out.Append("[\n");
  for (std::size_t i = 0; i < count && out.Good(); ++i) {
    out.Append(kElementIndent);
    element(i);
    out.Append(i + 1 < count ? ",\n" : "\n");
  }
  out.Append(kIndent);
  out.Append(last ? "]\n" : "],\n");
}

void WriteStrings(std::string_view key, const std::vector<std::string>& texts,
                  bool last, std::string& scratch, DocumentOut& out) {
  WriteArray(key, texts.size(), last, out,
             [&](std::size_t i) { WriteString(texts[i], scratch, out); });
}

void WriteOptional(std::optional<std::uint32_t> value, DocumentOut& out) {
  out.Append(value ? std::to_string(*value) : "null");
}

void WriteRun(std::size_t line, std::uint64_t column, std::uint64_t length,
              const CharAttributes& attributes, DocumentOut& out) {
  out.Append("{\"line\": ");
  out.Append(std::to_string(line));
  out.Append(", \"col\": ");
  out.Append(std::to_string(column));
  out.Append(", \"len\": ");
  out.Append(std::to_string(length));
  out.Append(", \"color\": ");
  WriteOptional(attributes.color, out);
  out.Append(", \"back\": ");
  WriteOptional(attributes.back, out);
  out.Append(", \"style\": ");
  out.Append(std::to_string(attributes.style));
  out.Put('}');
}

// The runs of every line, made on two threads. Each run is written after
// ",\n"; the first run of the document gets "[\n" instead, which is put in
// place as the chunks are handed on in order.
void WriteRuns(const RichView& view, DocumentOut& out) {
  WriteKey("runs", out);
  bool first = true;
  WriteLinesInParallel(
      view,
      [&](std::size_t line, DocumentOut& to) {
        ForEachAttributeRun(
            view, line,
            [&](std::uint64_t column, std::uint64_t length, std::uint32_t id) {
              if (id == 0) return;
              to.Append(",\n");
              to.Append(kElementIndent);
              WriteRun(line, column, length, view.AttributesOfId(id), to);
            });
      },
      out,
      [&](std::string_view chunk, DocumentOut& to) {
        if (first && !chunk.empty()) {
          to.Put('[');
          chunk.remove_prefix(1);
          first = false;
        }
        to.Append(chunk);
      });
  if (first) {
    out.Append("[],\n");
    return;
  }
  out.Put('\n');
  out.Append(kIndent);
  out.Append("],\n");
}

void WriteLineIndex(const ADWord& line_index, DocumentOut& out) {
  WriteKey("lineIndex", out);
  out.Put('[');
  for (std::size_t i = 0; i < line_index.size(); ++i) {
    if (i > 0) out.Append(", ");
    out.Append(std::to_string(line_index[i]));
  }
  out.Append("],\n");
}

nlohmann::ordered_json ProvenanceObject(const Provenance& provenance) {
  std::string scratch;
  auto text = [&](std::string_view bytes) {
    BytesToUtf8(bytes, scratch);
    return scratch;
  };
  nlohmann::ordered_json inputs = nlohmann::ordered_json::array();
  for (const ProvenanceInput& input : provenance.inputs) {
    nlohmann::ordered_json entry;
    entry["role"] = input.role;
    entry["path"] = text(input.path);
    entry["size"] = input.size ? nlohmann::ordered_json(*input.size)
                               : nlohmann::ordered_json(nullptr);
    entry["sha256"] = input.sha256;
    inputs.push_back(std::move(entry));
  }
  nlohmann::ordered_json scores = nlohmann::ordered_json::array();
  for (const ProvenanceScore& score : provenance.scores) {
    nlohmann::ordered_json entry;
    entry["name"] = text(score.name);
    entry["chosen"] = score.chosen;
    entry["cutoff"] = text(score.cutoff);
    scores.push_back(std::move(entry));
  }
  nlohmann::ordered_json object;
  object["title"] = text(provenance.title);
  object["inputs"] = std::move(inputs);
  if (!provenance.computed_conservation.empty()) {
    object["computed_conservation"] = provenance.computed_conservation;
  }
  object["scores"] = std::move(scores);
  object["rule"] = kConservedRule;
  object["program"] = provenance.program;
  object["date"] = provenance.date;
  return object;
}

}  // namespace

void WriteJson(const RichView& view, const JsonDocumentExtras& extras,
               std::ostream& out) {
  DocumentOut document(out);
  std::string scratch;
  document.Append("{\n");
  // The lines, the bulk of the document, are made on two threads; each
  // line is one element of the array.
  WriteKey("lines", document);
  if (view.LineCount() == 0) {
    document.Append("[],\n");
  } else {
    document.Append("[\n");
    WriteLinesInParallel(
        view,
        [&](std::size_t i, DocumentOut& to) {
          std::string utf8;
          to.Append(kElementIndent);
          WriteString(view.Line(i), utf8, to);
          to.Append(i + 1 < view.LineCount() ? ",\n" : "\n");
        },
        document);
    document.Append(kIndent);
    document.Append("],\n");
  }
  WriteLineIndex(extras.line_index, document);
  WriteRuns(view, document);
  WriteStrings("messages", extras.messages, false, scratch, document);
  WriteKey("status", document);
  WriteString(extras.status, scratch, document);
  document.Append(",\n");
  const bool last = !extras.provenance;
  WriteStrings("inspect", extras.inspect, last, scratch, document);
  if (!last) {
    WriteKey("provenance", document);
    document.Append(ProvenanceObject(*extras.provenance).dump());
    document.Put('\n');
  }
  document.Append("}\n");
}

}  // namespace tessarin
