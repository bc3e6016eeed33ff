#include "text/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "text/fields.h"
#include "text/readable_file.h"
#include "text/strings.h"

namespace tessarin {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The whole content of an open file, read in one pass. A regular file's
// size is known, so its content is read into one buffer of that size (one
// byte more, to see the end of the file without growing); other files grow
// the buffer by doubling.
std::string ReadAll(int fd, const std::string& path) {
  struct stat info {};
  std::size_t expected = 1 << 16;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    expected = static_cast<std::size_t>(info.st_size) + 1;
  }
  std::string content(expected, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2);
    const ssize_t n = ::read(fd, content.data() + used, content.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(),
                              ReadFailureHead(path));
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  content.resize(used);
  return content;
}

// How many lines LoadFromText makes of `content`: one per LF, one per CR
// not followed by LF, and one for a last line without a line end.
std::size_t CountLines(std::string_view content) {
  content = line_file_detail::LinesPart(content);
  std::size_t ends = static_cast<std::size_t>(
      std::count(content.begin(), content.end(), '\n'));
  for (std::size_t cr = content.find('\r'); cr != std::string_view::npos;
       cr = content.find('\r', cr + 1)) {
    if (cr + 1 == content.size() || content[cr + 1] != '\n') ++ends;
  }
  const bool open_last_line =
      !content.empty() && content.back() != '\n' && content.back() != '\r';
  return ends + (open_last_line ? 1 : 0);
}

bool MatchesLine(std::string_view line, std::string_view text,
                 bool whole_line) {
  return whole_line ? line == text : PosFrom(line, text, 1) != 0;
}

// Whether UpperAscii(a) == UpperAscii(b), without making either.
bool EqualUpperAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

namespace line_file_detail {

std::string_view LinesPart(std::string_view content) {
  if (content.starts_with(kByteOrderMark)) {
    content.remove_prefix(kByteOrderMark.size());
  }
  return content.substr(0, content.find(kCtrlZ));
}

}  // namespace line_file_detail

std::optional<std::string> Ttf::ReadContent(const std::string& path) {
  const FileDescriptor file(OpenReadable(path, true));
  if (file.get() < 0) return std::nullopt;
  return ReadAll(file.get(), path);
}

void Ttf::LoadFromFile(const std::string& path) {
  const std::optional<std::string> content = ReadContent(path);
  if (content) LoadFromText(*content);
}

void Ttf::LoadFromText(std::string_view content) {
  // One string per line; sizing the array first keeps it from holding up to
  // three times that while it grows.
  lines_.reserve(lines_.size() + CountLines(content));
  ForEachLine(content,
              [this](std::string_view line) { lines_.emplace_back(line); });
}

std::size_t Ttf::RemoveEmptyLines() {
  const std::size_t before = lines_.size();
  std::erase_if(lines_, [](const std::string& line) { return line.empty(); });
  return before - lines_.size();
}

void Ttf::NormalizeLines(std::string_view delimiters) {
  for (std::string& line : lines_) NormalizeDelimitersInPlace(line, delimiters);
}

LineBlock Ttf::FindBlock(std::string_view header, std::string_view end_marker,
                         std::size_t from, std::size_t to, bool whole_line,
                         bool case_sensitive) const {
  if (lines_.empty() || header.empty() || end_marker.empty()) return {};
  const std::size_t last = lines_.size() - 1;
  if (from > last) return {};
  to = std::min(to, last);
  if (from > to) return {};

  const std::string wanted_header =
      case_sensitive ? std::string(header) : UpperAscii(header);
  const std::string wanted_end =
      case_sensitive ? std::string(end_marker) : UpperAscii(end_marker);
  auto matches = [&](std::size_t i, const std::string& wanted) {
    if (case_sensitive) return MatchesLine(lines_[i], wanted, whole_line);
    // Upper-casing a line costs its length; a whole-line comparison can
    // reject on length alone first.
    if (whole_line && lines_[i].size() != wanted.size()) return false;
    return MatchesLine(UpperAscii(lines_[i]), wanted, whole_line);
  };

  std::size_t start = from;
  while (start <= to && !matches(start, wanted_header)) ++start;
  if (start > to) return {};
  std::size_t end = start;
  while (end <= to && !matches(end, wanted_end)) ++end;
  return {start, end};
}

KeyHit Ttf::FindKey(std::string_view key, std::size_t from,
                    std::size_t current_position) const {
  return SearchKey(key, from, current_position, false);
}

KeyHit Ttf::FindFirstKey(std::string_view key, std::size_t from) const {
  return SearchKey(key, from, 0, true);
}

KeyHit Ttf::SearchKey(std::string_view key, std::size_t from,
                      std::size_t current_position, bool first_only) const {
  if (lines_.empty() || from > lines_.size() - 1) {
    return {0, from, current_position};
  }
  KeyHit hit;
  for (std::size_t i = from; i < lines_.size(); ++i) {
    if (lines_[i].empty()) continue;
    const std::size_t p = PosFrom(lines_[i], key, 1);
    if (p == 0) continue;
    if (hit.count == 0) {
      hit.line = i;
      hit.position = p;
    }
    ++hit.count;
    if (first_only) break;
  }
  return hit;
}

std::string Ttf::JoinRange(std::size_t from, std::size_t to,
                           std::string_view separator) const {
  if (from >= lines_.size() || to >= lines_.size()) return "";
  if (from >= to) return lines_[from];
  std::size_t total = separator.size() * (to - from);
  for (std::size_t i = from; i <= to; ++i) total += lines_[i].size();
  std::string text;
  text.reserve(total);
  text = lines_[from];
  for (std::size_t i = from + 1; i <= to; ++i) {
    text += separator;
    text += lines_[i];
  }
  return text;
}

std::string Ttf::JoinLines(std::size_t from, std::size_t to) const {
  return JoinRange(from, to, "");
}

LineText::LineText(std::string content) : text_(std::move(content)) {
  const std::string_view part = line_file_detail::LinesPart(text_);
  line_file_detail::LineEndFinder ends(part);
  // Each line moves to the front and gets one LF. Writing never overtakes
  // reading: the LF takes the place of a line end of one or two bytes, and
  // is written only after the kind of line end has been read.
  char* const bytes = text_.data();
  const std::size_t offset = static_cast<std::size_t>(part.data() - bytes);
  std::size_t written = 0;
  bool open_last_line = false;
  for (std::size_t begin = 0; begin < part.size();) {
    const std::size_t end = ends.From(begin);
    // Lines before the first CR LF, lone CR or mark stay where they are.
    if (written != offset + begin) {
      std::memmove(bytes + written, bytes + offset + begin, end - begin);
    }
    written += end - begin;
    if (end == part.size()) {
      open_last_line = true;
      break;
    }
    // LF, CR LF and a lone CR each end the line.
    const bool cr_lf =
        part[end] == '\r' && end + 1 < part.size() && part[end + 1] == '\n';
    bytes[written++] = '\n';
    begin = end + (cr_lf ? 2 : 1);
  }
  text_.resize(written);
  if (open_last_line) text_.push_back('\n');
}

LineText LineText::FromFile(const std::string& path) {
  std::optional<std::string> content = Ttf::ReadContent(path);
  return content ? LineText(std::move(*content)) : LineText();
}

std::string_view LineText::Line(std::size_t at) const {
  const std::string_view rest = std::string_view(text_).substr(at);
  return rest.substr(0, rest.find('\n'));
}

std::size_t LineText::Next(std::size_t at) const {
  const std::size_t lf = text_.find('\n', at);
  return lf == std::string::npos ? text_.size() : lf + 1;
}

void LineText::NormalizeLines(std::string_view delimiters) {
  // Each line is normalised straight to the front of the text: a normal
  // line is never longer than the line it came from.
  const DelimiterSet set(delimiters);
  char* const bytes = text_.data();
  std::size_t written = 0;
  for (std::size_t at = 0; at < text_.size();) {
    const std::size_t next = Next(at);
    written +=
        NormalizeDelimitersTo(bytes + at, next - 1 - at, bytes + written, set)
            .length;
    bytes[written++] = '\n';
    at = next;
  }
  text_.resize(written);
}

std::optional<LineBlock> LineText::FindBlock(std::string_view header,
                                             std::string_view end_marker,
                                             std::size_t from) const {
  if (header.empty() || end_marker.empty()) return std::nullopt;
  std::size_t start = from;
  while (start < End() && !EqualUpperAscii(Line(start), header)) {
    start = Next(start);
  }
  if (start >= End()) return std::nullopt;
  std::size_t end = start;
  while (end < End() && !EqualUpperAscii(Line(end), end_marker)) {
    end = Next(end);
  }
  return LineBlock{start, end};
}

KeyHit LineText::FindFirstKey(std::string_view key, std::size_t from) const {
  if (key.empty() || from >= End()) return {};
  // A key holds no LF, so where it first occurs after `from` is the first
  // line that contains it, at that line's first occurrence.
  const std::size_t at = text_.find(key, from);
  if (at == std::string::npos) return {};
  const std::size_t lf =
      at == 0 ? std::string::npos : text_.rfind('\n', at - 1);
  const std::size_t line = lf == std::string::npos ? 0 : lf + 1;
  return {1, line, at - line + 1};
}

}  // namespace tessarin
