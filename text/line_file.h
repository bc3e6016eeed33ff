// A text file held as an array of lines, with the block and key searches
// that the readers share. A line file never reports anything: it returns what
// it found and the readers decide what is an error.
#ifndef TESSARIN_TEXT_LINE_FILE_H_
#define TESSARIN_TEXT_LINE_FILE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/arrays.h"

namespace tessarin {

// Where a block was found: lines start..end, the header line and the end
// marker line. A missing block is start = end = 0; a block without an end
// marker has end = one past the last line searched.
struct LineBlock {
  std::size_t start = 0;
  std::size_t end = 0;
};

// Where a key was first found: its line and the 1-based position of its first
// occurrence in that line, and how many lines from the search start contain
// it (0: not found).
struct KeyHit {
  std::size_t count = 0;
  std::size_t line = 0;
  std::size_t position = 0;
};

// Calls line(text) for each line of `content`, split exactly as
// Ttf::LoadFromText splits it: one leading UTF-8 byte-order mark is dropped,
// LF, CR LF and a lone CR end a line, a Ctrl-Z byte ends the content, and a
// last line without a line end counts. Each line is a view into `content`.
// Linear in the content's size.
template <typename LineFunction>
void ForEachLine(std::string_view content, LineFunction&& line);

class Ttf {
 public:
  Ttf() = default;

  // Appends the lines of the file at `path`. One UTF-8 byte-order mark
  // (EF BB BF) at the start of the file is dropped; LF, CR LF and a lone CR
  // each end a line; a Ctrl-Z byte ends the file; a last line without a line
  // end is read, and a file ending in a line end has no extra empty line.
  // Lines keep their bytes unchanged and have no length limit. Linear in the
  // file size.
  // A file that cannot be opened (or is no regular file) changes nothing and
  // reports nothing; a read error after opening throws std::system_error,
  // whose text names the file and the system's reason. Memory: the file's
  // content, its lines and one string header per line.
  void LoadFromFile(const std::string& path);

  // Appends the lines of `content`, split as LoadFromFile splits a file.
  void LoadFromText(std::string_view content);

  // The whole content of the file at `path`, byte for byte (a byte-order mark
  // included), or nothing when it cannot be opened (or is a folder); a read
  // error after opening throws as LoadFromFile does. LineText and ForEachLine
  // make lines of it without holding a string per line.
  static std::optional<std::string> ReadContent(const std::string& path);

  // Whether the file can be read is ReadFailure (text/readable_file.h), the
  // test every reader's opening shares.

  const AString& Lines() const { return lines_; }
  AString& Lines() { return lines_; }
  std::size_t Count() const { return lines_.size(); }
  // Count() - 1, or -1 when empty.
  std::int64_t LastIndex() const {
    return static_cast<std::int64_t>(lines_.size()) - 1;
  }

  // Removes every line of length 0; returns how many were removed.
  std::size_t RemoveEmptyLines();

  // Replaces every line by its NormalizeDelimiters form.
  void NormalizeLines(std::string_view delimiters);

  // The first line in from..to (to cut to the last line) that matches
  // `header`, and from there the first line that matches `end_marker`. With
  // whole_line a line must equal the text, otherwise contain it; without
  // case_sensitive both sides are upper-cased (a to z only) first.
  LineBlock FindBlock(std::string_view header, std::string_view end_marker,
                      std::size_t from, std::size_t to, bool whole_line,
                      bool case_sensitive) const;

  // The first line at or after `from`, to the end of the file, that contains
  // `key` (exact bytes; an empty key occurs nowhere), and how many lines do.
  // When `from` is beyond the last line, count is 0 and line and position
  // are `from` and `current_position`, as they were; when no line contains
  // the key, count, line and position are 0.
  KeyHit FindKey(std::string_view key, std::size_t from,
                 std::size_t current_position = 0) const;
  // FindKey that stops at the first line containing the key (count is 0 or
  // 1). Readers use it: they need only whether and where the key is, and a
  // search per block that always ran to the end of the file would make
  // reading quadratic in the number of blocks.
  KeyHit FindFirstKey(std::string_view key, std::size_t from) const;

  // Lines from..to joined with `separator`; empty when from or to is not a
  // line index; line `from` alone when from >= to.
  std::string JoinRange(std::size_t from, std::size_t to,
                        std::string_view separator) const;
  // JoinRange with an empty separator.
  std::string JoinLines(std::size_t from, std::size_t to) const;

 private:
  KeyHit SearchKey(std::string_view key, std::size_t from,
                   std::size_t current_position, bool first_only) const;

  AString lines_;
};

// The lines of a text file in one buffer, for the readers: each line is
// followed by one LF, and a line is named by the offset of its first byte.
// Offsets of lines compare as their indices do and End() is the place after
// the last line, so a range of lines is a pair of offsets, and LineBlock and
// KeyHit name lines by offset. Unlike Ttf it holds no string per line: the
// lines of a file never take more than the file's own size and one byte.
class LineText {
 public:
  LineText() = default;
  // The lines of `content`, split as Ttf::LoadFromText splits it, written
  // over the content's own buffer. Linear in the content's size.
  explicit LineText(std::string content);
  // The lines of the file at `path`; no line when it cannot be opened (or is
  // a folder). A read error after opening throws as Ttf::LoadFromFile does.
  static LineText FromFile(const std::string& path);

  // Every line, each followed by LF.
  std::string_view Text() const { return text_; }
  // The offset after the last line (0 when there is none).
  std::size_t End() const { return text_.size(); }
  // The line at offset `at` (a line's offset before End()), without its LF.
  std::string_view Line(std::size_t at) const;
  // The offset of the line after the one at `at`; End() after the last.
  std::size_t Next(std::size_t at) const;
  // Calls line(text) for every line from the one at `first` to the one
  // before `end`, in order.
  template <typename LineFunction>
  void ForEachLine(std::size_t first, std::size_t end,
                   LineFunction&& line) const {
    const std::string_view text = text_;
    for (std::size_t at = first; at < end && at < text.size();) {
      const std::size_t lf = text.find('\n', at);  // every line has one
      line(text.substr(at, lf - at));
      at = lf + 1;
    }
  }

  // Replaces every line by its NormalizeDelimiters form, in place.
  void NormalizeLines(std::string_view delimiters);
  // Drops every line and gives the buffer back.
  void Release() { std::string().swap(text_); }

  // Ttf::FindBlock from the line at `from` to the last line, with whole lines
  // compared without regard to letter case (a to z): the first line that
  // equals `header`, and from it on the first line that equals `end_marker`
  // (End() when none does). Nothing when no line equals the header, `from`
  // is not before End(), or a text is empty.
  std::optional<LineBlock> FindBlock(std::string_view header,
                                     std::string_view end_marker,
                                     std::size_t from) const;

  // Ttf::FindFirstKey: the first line at or after the line at `from` that
  // contains `key` (exact bytes, no LF in it; an empty key occurs nowhere),
  // with the 1-based position of the key's first occurrence in it; count 0
  // when no line does. Linear in the distance searched.
  KeyHit FindFirstKey(std::string_view key, std::size_t from) const;

 private:
  std::string text_;
};

namespace line_file_detail {

// The part of `content` that is split into lines: without one leading UTF-8
// byte-order mark, up to its first Ctrl-Z byte.
std::string_view LinesPart(std::string_view content);

// Finds where lines end. Each byte kind (LF, CR) is searched for once and
// its position kept until a line starts beyond it, so a file that uses only
// one kind is never searched to its end for the other at every line.
class LineEndFinder {
 public:
  explicit LineEndFinder(std::string_view content)
      : content_(content), lf_(Find('\n', 0)), cr_(Find('\r', 0)) {}
  // The first CR or LF at or after `begin`, or the content's size.
  std::size_t From(std::size_t begin) {
    if (lf_ < begin) lf_ = Find('\n', begin);
    if (cr_ < begin) cr_ = Find('\r', begin);
    return lf_ < cr_ ? lf_ : cr_;
  }

 private:
  std::size_t Find(char byte, std::size_t from) const {
    const std::size_t at = content_.find(byte, from);
    return at == std::string_view::npos ? content_.size() : at;
  }

  std::string_view content_;
  std::size_t lf_;
  std::size_t cr_;
};

}  // namespace line_file_detail

template <typename LineFunction>
void ForEachLine(std::string_view content, LineFunction&& line) {
  content = line_file_detail::LinesPart(content);
  line_file_detail::LineEndFinder ends(content);
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = ends.From(begin);
    line(content.substr(begin, end - begin));
    if (end == content.size()) break;
    // LF, CR LF and a lone CR each end the line.
    if (content[end] == '\r' && end + 1 < content.size() &&
        content[end + 1] == '\n') {
      ++end;
    }
    begin = end + 1;
  }
}

}  // namespace tessarin

#endif  // TESSARIN_TEXT_LINE_FILE_H_
