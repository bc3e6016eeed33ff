#include "support/document_checks.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "view/rtf_format.h"

namespace tessarin::harness {

namespace {

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A raw byte that no writer puts into text: a control byte other than tab
// and line end, or DEL.
bool IsRawControl(unsigned char byte) {
  return (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
}

std::string Printable(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (const char c : bytes.substr(0, 40)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

// Empty when equal; otherwise where the two first differ.
std::string Difference(std::string_view what, std::string_view got,
                       std::string_view want) {
  if (got == want) return "";
  std::size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  return std::string(what) + " differs at byte " + std::to_string(at) +
         ": has \"" + Printable(got.substr(at)) + "\", the view \"" +
         Printable(want.substr(at)) + "\"";
}

// --- RTF ---

// The control words of the writer's vocabulary, collected from the pieces
// it writes.
std::set<std::string, std::less<>> RtfWriterWords() {
  const std::string_view pieces[] = {
      rtf::kHeader,    rtf::kFontTable,    rtf::kColorTableOpen,
      rtf::kRed,       rtf::kGreen,        rtf::kBlue,
      rtf::kBodyStart, rtf::kFontSize,     rtf::kBold,
      rtf::kItalic,    rtf::kUnderline,    rtf::kStrikeOut,
      rtf::kTextColor, rtf::kShading,      rtf::kShadingColor,
      rtf::kBackColor, rtf::kParagraphEnd, rtf::kTab};
  std::set<std::string, std::less<>> words;
  for (const std::string_view piece : pieces) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
      if (piece[i] != '\\') continue;
      std::size_t end = i + 1;
      while (end < piece.size() && IsLower(piece[end])) ++end;
      if (end > i + 1) words.emplace(piece.substr(i + 1, end - i - 1));
    }
  }
  return words;
}

class RtfReader {
 public:
  explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

  std::string Problem(std::string_view text) {
    if (rtf_.empty() || rtf_[0] != '{') return "does not open with a group";
    while (at_ < rtf_.size()) {
      const std::string problem = Step();
      if (!problem.empty()) {
        return problem + " at byte " + std::to_string(at_) + ": \"" +
               Printable(rtf_.substr(at_)) + "\"";
      }
    }
    if (!groups_.empty()) return "a group is never closed";
    return Difference("the text", text_, text);
  }

 private:
  struct Group {
    bool hidden = false;       // a font or colour table: no text
    bool color_table = false;  // its ';' end colour entries
  };

  // Reads one token; returns what is wrong with it, if anything.
  std::string Step() {
    const char c = rtf_[at_];
    if (groups_.empty() && at_ > 0) {
      if (c != '\n' && c != '\r') return "text after the document's group";
      ++at_;
      return "";
    }
    switch (c) {
      case '{':
        groups_.push_back(groups_.empty() ? Group{} : groups_.back());
        groups_.back().color_table = false;
        ++at_;
        return "";
      case '}':
        if (groups_.empty()) return "a group closes that was never opened";
        groups_.pop_back();
        ++at_;
        return "";
      case '\\':
        return Control();
      case '\r':
      case '\n':
        ++at_;  // line ends only lay the document out
        return "";
      default:
        break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) return "a raw control or high byte";
    if (groups_.back().color_table && c == ';') ++colors_;
    Text(c);
    ++at_;
    return "";
  }

  void Text(char c) {
    if (!groups_.back().hidden) text_ += c;
  }

  std::string Control() {
    ++at_;
    if (at_ == rtf_.size()) return "a backslash ends the document";
    const char c = rtf_[at_];
    if (c == '\\' || c == '{' || c == '}') {
      Text(c);
      ++at_;
      return "";
    }
    if (c == '\'') {
      if (at_ + 2 >= rtf_.size() || HexDigit(rtf_[at_ + 1]) < 0 ||
          HexDigit(rtf_[at_ + 2]) < 0) {
        return "\\' without two hexadecimal digits";
      }
      Text(static_cast<char>(HexDigit(rtf_[at_ + 1]) * 16 +
                             HexDigit(rtf_[at_ + 2])));
      at_ += 3;
      return "";
    }
    if (!IsLower(c)) return "a control symbol that is not the writer's";
    return Word();
  }

  std::string Word() {
    static const std::set<std::string, std::less<>> kWords = RtfWriterWords();
    const std::size_t start = at_;
    while (at_ < rtf_.size() && IsLower(rtf_[at_])) ++at_;
    const std::string_view word = rtf_.substr(start, at_ - start);
    std::optional<long long> parameter;
    const std::size_t digits_start = at_;
    if (at_ < rtf_.size() && rtf_[at_] == '-') ++at_;
    while (at_ < rtf_.size() && IsDigit(rtf_[at_]) && at_ - digits_start < 12) {
      ++at_;
    }
    if (at_ > digits_start) {
      const std::string digits(rtf_.substr(digits_start, at_ - digits_start));
      if (digits == "-") return "a control word with a lone minus sign";
      parameter = std::stoll(digits);
    }
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;  // the delimiter
    if (kWords.find(word) == kWords.end()) {
      return "the control word \\" + std::string(word) + " is not the writer's";
    }
    if (word == "fonttbl" || word == "colortbl") {
      groups_.back().hidden = true;
      groups_.back().color_table = word == "colortbl";
      color_table_seen_ = color_table_seen_ || word == "colortbl";
    } else if (word == "par") {
      Text('\n');
    } else if (word == "tab") {
      Text('\t');
    } else if (word == "cf" || word == "cb" || word == "chcbpat") {
      // Entry 0 of the table is the automatic colour.
      if (!color_table_seen_ || !parameter || *parameter < 0 ||
          *parameter >= colors_) {
        return "a colour index outside the colour table";
      }
    }
    return "";
  }

  std::string_view rtf_;
  std::size_t at_ = 0;
  std::vector<Group> groups_;
  std::string text_;
  bool color_table_seen_ = false;
  long long colors_ = 0;
};

// --- HTML ---

class HtmlReader {
 public:
  explicit HtmlReader(std::string_view html) : html_(html) {}

  std::string Problem(std::string_view text) {
    constexpr std::string_view kDoctype = "<!DOCTYPE html>";
    if (html_.substr(0, kDoctype.size()) != kDoctype) return "no doctype";
    at_ = kDoctype.size();
    while (at_ < html_.size()) {
      const std::string problem = html_[at_] == '<' ? Tag() : Character();
      if (!problem.empty()) {
        return problem + " at byte " + std::to_string(at_) + ": \"" +
               Printable(html_.substr(at_)) + "\"";
      }
    }
    if (!open_.empty()) return "<" + open_.back() + "> is never closed";
    if (!pre_seen_) return "no <pre>";
    return Difference("the text of <pre>", text_, text);
  }

 private:
  std::string_view Name() {
    const std::size_t start = at_;
    while (at_ < html_.size() && IsLower(html_[at_])) ++at_;
    return html_.substr(start, at_ - start);
  }

  bool Take(std::string_view expected) {
    if (html_.substr(at_, expected.size()) != expected) return false;
    at_ += expected.size();
    return true;
  }

  std::string Tag() {
    ++at_;
    if (Take("/")) {
      const std::string_view name = Name();
      if (open_.empty() || open_.back() != name) {
        return "an end tag that closes no open element";
      }
      if (!Take(">")) return "an end tag that does not end";
      open_.pop_back();
      return "";
    }
    return StartTag();
  }

  std::string StartTag() {
    // Each element of the page and the element it must lie in.
    static const std::map<std::string, std::string, std::less<>> kParents = {
        {"html", ""},      {"head", "html"},  {"meta", "head"},
        {"title", "head"}, {"style", "head"}, {"body", "html"},
        {"pre", "body"},   {"span", "pre"}};
    const std::string name(Name());
    const auto parent = kParents.find(name);
    if (parent == kParents.end()) return "an element that is not the writer's";
    const std::string here = open_.empty() ? "" : open_.back();
    if (parent->second != here) return "<" + name + "> in the wrong place";
    while (Take(" ")) {
      const std::string problem = Attribute(name);
      if (!problem.empty()) return problem;
    }
    if (!Take(">")) return "a start tag that does not end";
    if (name == "meta") return "";  // a void element
    open_.push_back(name);
    if (name == "pre") {
      pre_seen_ = true;
      after_pre_start_ = true;
    }
    if (name == "style" || name == "title") {
      // Raw text up to its end tag, which must be the next '<'.
      const std::size_t end = html_.find('<', at_);
      if (end == std::string_view::npos ||
          html_.substr(end, name.size() + 3) != "</" + name + ">") {
        return "<" + name + "> holds markup";
      }
      at_ = end;
    }
    return "";
  }

  std::string Attribute(const std::string& element) {
    static const std::map<std::string, std::string, std::less<>> kAttributes = {
        {"meta", "charset"}, {"span", "class"}};
    const std::string_view name = Name();
    const auto allowed = kAttributes.find(element);
    if (allowed == kAttributes.end() || allowed->second != name) {
      return "an attribute that is not the writer's";
    }
    if (!Take("=\"")) return "an attribute without a quoted value";
    const std::size_t start = at_;
    while (at_ < html_.size() &&
           (std::isalnum(static_cast<unsigned char>(html_[at_])) != 0 ||
            html_[at_] == '-')) {
      ++at_;
    }
    if (at_ == start || !Take("\"")) return "an attribute value out of bounds";
    return "";
  }

  std::string Character() {
    const char c = html_[at_];
    std::optional<char> byte;
    if (c == '&') {
      byte = Reference();
      if (!byte) return "a character reference that is not the writer's";
    } else {
      if (c == '>' || c == '"' || c == '\'') return "a raw markup character";
      if (IsRawControl(static_cast<unsigned char>(c))) {
        return "a raw control byte";
      }
      byte = c;
      ++at_;
    }
    const bool in_pre =
        !open_.empty() && (open_.back() == "pre" || open_.back() == "span");
    if (!in_pre) {
      if (*byte != '\n' && *byte != ' ') return "text outside <pre>";
      return "";
    }
    if (after_pre_start_ && open_.back() == "pre" && *byte == '\n') {
      after_pre_start_ = false;  // parsers drop this line end
      return "";
    }
    after_pre_start_ = false;
    text_ += *byte;
    return "";
  }

  std::optional<char> Reference() {
    static const std::map<std::string, char, std::less<>> kNamed = {
        {"&amp;", '&'},
        {"&lt;", '<'},
        {"&gt;", '>'},
        {"&quot;", '"'},
        {"&#39;", '\''}};
    for (const auto& [reference, byte] : kNamed) {
      if (Take(reference)) return byte;
    }
    if (!Take("&#x") || at_ + 2 >= html_.size()) return std::nullopt;
    const int high = HexDigit(html_[at_]);
    const int low = HexDigit(html_[at_ + 1]);
    if (high < 0 || low < 0 || html_[at_ + 2] != ';') return std::nullopt;
    at_ += 3;
    return static_cast<char>(high * 16 + low);
  }

  std::string_view html_;
  std::size_t at_ = 0;
  std::vector<std::string> open_;
  std::string text_;
  bool pre_seen_ = false;
  bool after_pre_start_ = false;
};

// --- JSON ---

using OrderedJson = nlohmann::ordered_json;

// The bytes a JSON text stands for, each code point one byte; nothing when
// a code point lies above U+00FF.
std::optional<std::string> Bytes(const std::string& utf8) {
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

std::string TextProblem(const OrderedJson& value, std::string_view what,
                        std::string_view expected) {
  if (!value.is_string()) return std::string(what) + " is no string";
  const std::optional<std::string> bytes =
      Bytes(value.get_ref<const std::string&>());
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

std::string RtfProblem(std::string_view rtf, std::string_view text) {
  return RtfReader(rtf).Problem(text);
}

std::string HtmlProblem(std::string_view html, std::string_view text) {
  return HtmlReader(html).Problem(text);
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
