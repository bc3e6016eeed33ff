#include "support/rtf_reader.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "support/document_text.h"
#include "view/rtf_format.h"

namespace tessarin::harness {

namespace {

// The control words of the writer's vocabulary, collected from the pieces
// it writes.
std::set<std::string, std::less<>> RtfWriterWords() {
  const std::string_view pieces[] = {
      rtf::kHeader,      rtf::kFontTable,    rtf::kColorTableOpen,
      rtf::kRed,         rtf::kGreen,        rtf::kBlue,
      rtf::kBodyStart,   rtf::kFontSize,     rtf::kBold,
      rtf::kItalic,      rtf::kUnderline,    rtf::kStrikeOut,
      rtf::kTextColor,   rtf::kShading,      rtf::kShadingColor,
      rtf::kBackColor,   rtf::kParagraphEnd, rtf::kTab,
      rtf::kPageSetup,   rtf::kDefaultTab,   rtf::kTabStop,
      rtf::kLeftIndent,  rtf::kFirstIndent,  rtf::kInfo,
      rtf::kInfoTitle,   rtf::kInfoSubject,  rtf::kInfoComment,
      rtf::kInfoCreated, rtf::kYear,         rtf::kMonth,
      rtf::kDay,         rtf::kHour,         rtf::kMinute};
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

  RtfReading Read() && {
    if (rtf_.empty() || rtf_[0] != '{') {
      reading_.problem = "does not open with a group";
    }
    while (reading_.problem.empty() && at_ < rtf_.size()) {
      const std::string problem = Step();
      if (!problem.empty()) reading_.problem = ProblemAt(problem, rtf_, at_);
    }
    if (reading_.problem.empty() && !groups_.empty()) {
      reading_.problem = "a group is never closed";
    }
    return std::move(reading_);
  }

 private:
  struct Group {
    bool hidden = false;  // a font or colour table, document facts: no text
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
        reading_.max_depth = std::max(reading_.max_depth, groups_.size());
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
    if (!groups_.back().hidden) reading_.text += c;
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
    reading_.words.emplace(word);
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
    if (word == "fonttbl" || word == "colortbl" || word == "info") {
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
  RtfReading reading_;
  bool color_table_seen_ = false;
  long long colors_ = 0;
};

}  // namespace

RtfReading ReadRtf(std::string_view rtf) { return RtfReader(rtf).Read(); }

std::string RtfProblem(std::string_view rtf, std::string_view text) {
  const RtfReading reading = ReadRtf(rtf);
  if (!reading.problem.empty()) return reading.problem;
  return Difference("the text", reading.text, text);
}

}  // namespace tessarin::harness
