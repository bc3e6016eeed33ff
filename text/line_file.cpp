#include "text/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "text/fields.h"
#include "text/strings.h"

namespace tessarin {

namespace {

constexpr char kCtrlZ = 26;

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

// Opens `path` for reading when it names something that can be read as a
// file (not a folder); returns -1 otherwise.
int OpenReadable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// What a failed open or read of `path` reports: this, ": " and the system's
// reason (std::system_error adds the reason to its text the same way).
std::string ReadFailureHead(const std::string& path) {
  return "Cannot read \"" + path + "\"";
}

std::string ReadFailure(const std::string& path, int error) {
  return ReadFailureHead(path) + ": " + std::strerror(error);
}

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
  content = line_file_detail::BeforeEndOfFile(content);
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

}  // namespace

namespace line_file_detail {

std::string_view BeforeEndOfFile(std::string_view content) {
  return content.substr(0, content.find(kCtrlZ));
}

}  // namespace line_file_detail

std::optional<std::string> Ttf::ReadContent(const std::string& path) {
  const FileDescriptor file(OpenReadable(path));
  if (file.get() < 0) return std::nullopt;
  return ReadAll(file.get(), path);
}

void Ttf::LoadFromFile(const std::string& path) {
  std::optional<std::string> content = ReadContent(path);
  if (!content) return;
  // A file that is one line (a whole sequence on one line, say) becomes
  // that line without a copy.
  const auto lacks = [&content](char byte) {
    return content->find(byte) == std::string::npos;
  };
  const bool one_line =
      lines_.empty() && lacks('\n') && lacks('\r') && lacks(kCtrlZ);
  if (one_line && !content->empty()) {
    lines_.push_back(std::move(*content));
    return;
  }
  LoadFromText(*content);
}

void Ttf::LoadFromText(std::string_view content) {
  // One string per line; sizing the array first keeps it from holding up to
  // three times that while it grows.
  lines_.reserve(lines_.size() + CountLines(content));
  ForEachLine(content,
              [this](std::string_view line) { lines_.emplace_back(line); });
}

bool Ttf::CanOpen(const std::string& path) {
  const FileDescriptor file(OpenReadable(path));
  return file.get() >= 0;
}

std::optional<std::string> Ttf::OpenFailure(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ReadFailure(path, errno);
  const FileDescriptor file(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ReadFailure(path, errno);
  if (S_ISDIR(info.st_mode)) return ReadFailure(path, EISDIR);
  return std::nullopt;
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

}  // namespace tessarin
