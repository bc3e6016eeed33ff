#include "support/html_reader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "support/document_text.h"

namespace tessarin::harness {

namespace {

// A raw byte that no writer puts into text: a control byte other than tab
// and line end, or DEL.
bool IsRawControl(unsigned char byte) {
  return (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
}

class HtmlReader {
 public:
  explicit HtmlReader(std::string_view html) : html_(html) {}

  HtmlReading Read() && {
    constexpr std::string_view kDoctype = "<!DOCTYPE html>";
    std::string& problem = reading_.problem;
    if (html_.substr(0, kDoctype.size()) != kDoctype) problem = "no doctype";
    at_ = kDoctype.size();
    while (problem.empty() && at_ < html_.size()) {
      const std::string found = html_[at_] == '<' ? Tag() : Character();
      if (!found.empty()) problem = ProblemAt(found, html_, at_);
    }
    if (problem.empty() && !open_.empty()) {
      problem = "<" + open_.back() + "> is never closed";
    }
    if (problem.empty() && !pre_seen_) problem = "no <pre>";
    return std::move(reading_);
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
      // Parsers drop this line end, so the writer must write it.
      if (!Take("\n")) return "<pre> without the line end after it";
      pre_seen_ = true;
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
    static const std::set<std::pair<std::string, std::string>, std::less<>>
        kAttributes = {{"meta", "charset"},
                       {"meta", "name"},
                       {"meta", "content"},
                       {"span", "class"}};
    const std::string_view name = Name();
    if (kAttributes.count({element, std::string(name)}) == 0) {
      return "an attribute that is not the writer's";
    }
    if (!Take("=\"")) return "an attribute without a quoted value";
    if (name == "content") {
      // Escaped text: no raw markup or control byte before the quote.
      while (at_ < html_.size() && html_[at_] != '"') {
        const auto byte = static_cast<unsigned char>(html_[at_]);
        if (byte < 0x20 || html_[at_] == '<' || html_[at_] == '>' ||
            html_[at_] == '\'') {
          return "a raw markup or control byte in an attribute value";
        }
        ++at_;
      }
      return Take("\"") ? "" : "an attribute value out of bounds";
    }
    const std::size_t start = at_;
    while (at_ < html_.size() &&
           (std::isalnum(static_cast<unsigned char>(html_[at_])) != 0 ||
            html_[at_] == '-')) {
      ++at_;
    }
    const std::string_view value = html_.substr(start, at_ - start);
    if (value.empty() || !Take("\"")) return "an attribute value out of bounds";
    const bool writers_class =
        name != "class" ||
        (value.size() > 1 && value[0] == 'c' &&
         std::all_of(value.begin() + 1, value.end(), IsDigit));
    return writers_class ? "" : "a class that is not the writer's";
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
    if (in_pre) {
      reading_.text += *byte;
    } else if (*byte != '\n' && *byte != ' ') {
      return "text outside <pre>";
    }
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
  HtmlReading reading_;
  bool pre_seen_ = false;
};

}  // namespace

HtmlReading ReadHtml(std::string_view html) { return HtmlReader(html).Read(); }

std::string HtmlProblem(std::string_view html, std::string_view text) {
  const HtmlReading reading = ReadHtml(html);
  if (!reading.problem.empty()) return reading.problem;
  return Difference("the text of <pre>", reading.text, text);
}

}  // namespace tessarin::harness
