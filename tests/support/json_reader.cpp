#include "support/json_reader.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "support/document_text.h"

namespace tessarin::harness {

namespace {

using OrderedJson = nlohmann::ordered_json;

std::string TextProblem(const OrderedJson& value, std::string_view what,
                        std::string_view expected) {
  if (!value.is_string()) return std::string(what) + " is no string";
  const std::optional<std::string> bytes =
      JsonBytes(value.get_ref<const std::string&>());
  if (!bytes) return std::string(what) + " has a code point above U+00FF";
  return Difference(what, *bytes, expected);
}

std::string TextsProblem(const OrderedJson& value, std::string_view key,
                         const std::vector<std::string>& expected) {
  if (!value.is_array() || value.size() != expected.size()) {
    return "\"" + std::string(key) + "\" does not hold " +
           std::to_string(expected.size()) + " texts";
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string problem =
        TextProblem(value[i], std::string(key) + "[" + std::to_string(i) + "]",
                    expected[i]);
    if (!problem.empty()) return problem;
  }
  return "";
}

bool IsColorValue(const OrderedJson& value) {
  return value.is_null() || (value.is_number_unsigned() &&
                             value.get<std::uint64_t>() <= 0xFFFFFFFFu);
}

std::string RunsProblem(const OrderedJson& runs,
                        const std::vector<std::string>& lines) {
  if (!runs.is_array()) return "\"runs\" is no array";
  std::uint64_t previous_line = 0;
  std::uint64_t previous_end = 0;
  for (const OrderedJson& run : runs) {
    const std::vector<std::string> keys = {"line",  "col",  "len",
                                           "color", "back", "style"};
    std::vector<std::string> found;
    if (run.is_object()) {
      for (const auto& item : run.items()) found.push_back(item.key());
    }
    if (found != keys) return "a run without exactly its six keys";
    if (!run["line"].is_number_unsigned() || !run["col"].is_number_unsigned() ||
        !run["len"].is_number_unsigned() ||
        !run["style"].is_number_unsigned()) {
      return "a run with a position that is no count";
    }
    const auto line = run["line"].get<std::uint64_t>();
    const auto col = run["col"].get<std::uint64_t>();
    const auto len = run["len"].get<std::uint64_t>();
    if (line >= lines.size() || len == 0 || col + len > lines[line].size()) {
      return "a run outside its line";
    }
    if (line < previous_line || (line == previous_line && col < previous_end)) {
      return "runs out of order or overlapping";
    }
    if (!IsColorValue(run["color"]) || !IsColorValue(run["back"]) ||
        run["style"].get<std::uint64_t>() > 15) {
      return "a run with a value out of range";
    }
    previous_line = line;
    previous_end = col + len;
  }
  return "";
}

}  // namespace

std::optional<std::string> JsonBytes(const std::string& utf8) {
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      bytes += static_cast<char>(lead);
      continue;
    }
    if ((lead != 0xC2 && lead != 0xC3) || i + 1 == utf8.size()) {
      return std::nullopt;
    }
    const auto next = static_cast<unsigned char>(utf8[++i]);
    bytes += static_cast<char>(((lead & 0x1F) << 6) | (next & 0x3F));
  }
  return bytes;
}

std::string JsonProblem(std::string_view json,
                        const JsonExpectation& expected) {
  OrderedJson document;
  try {
    document = OrderedJson::parse(json);
  } catch (const OrderedJson::exception& error) {
    return std::string("does not parse: ") + error.what();
  }
  const std::vector<std::string> keys = {"lines",    "lineIndex", "runs",
                                         "messages", "status",    "inspect"};
  std::vector<std::string> found;
  if (document.is_object()) {
    for (const auto& item : document.items()) found.push_back(item.key());
  }
  // A document may end with where it came from.
  if (found.size() == keys.size() + 1 && found.back() == "provenance" &&
      document["provenance"].is_object()) {
    found.pop_back();
  }
  if (found != keys) return "not exactly the six keys in order";
  for (const std::string& problem :
       {TextsProblem(document["lines"], "lines", expected.lines),
        TextsProblem(document["messages"], "messages", expected.messages),
        TextProblem(document["status"], "status", expected.status),
        TextsProblem(document["inspect"], "inspect", expected.inspect),
        RunsProblem(document["runs"], expected.lines)}) {
    if (!problem.empty()) return problem;
  }
  const OrderedJson& line_index = document["lineIndex"];
  bool index_matches =
      line_index.is_array() && line_index.size() == expected.line_index.size();
  for (std::size_t i = 0; index_matches && i < line_index.size(); ++i) {
    index_matches =
        line_index[i].is_number_unsigned() &&
        line_index[i].get<std::uint64_t>() == expected.line_index[i];
  }
  return index_matches ? "" : "\"lineIndex\" differs from the workspace's";
}

}  // namespace tessarin::harness
