// Searching, counting, filtering and cutting byte strings. Positions inside a
// text count from 1; every empty or out-of-range argument has a defined
// result, so callers need no checks of their own. All operations are linear
// in the length of their arguments.
#ifndef TESSARIN_TEXT_STRINGS_H_
#define TESSARIN_TEXT_STRINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/arrays.h"

namespace tessarin {

// Sets the first `count` bytes of `buffer` to `value` (no more than it holds).
void FillBytes(AByte& buffer, std::uint8_t value, std::size_t count);

// Keeps the characters that pass, in order. With remove_mode false a
// character passes when it is in `set`; with remove_mode true when it is not.
// Only the first 255 characters of `set` count; a NUL byte never passes.
std::string FilterChars(bool remove_mode, std::string_view text,
                        std::string_view set);

// Smallest position >= start (0 counts as 1) holding ch, or 0.
std::size_t PosCharFrom(char ch, std::string_view text, std::size_t start);

std::size_t CountChar(char ch, std::string_view text);

// First position p >= start (0 counts as 1) where `sub` occurs; 0 when text
// or sub is empty, sub is longer than text, or there is no match.
// Example: PosFrom("xabab", "ab", 3) == 4.
std::size_t PosFrom(std::string_view text, std::string_view sub,
                    std::size_t start);

// The text split at its first ch. When ch is absent, found is false and both
// parts are empty.
struct SplitResult {
  bool found = false;
  std::string left;
  std::string right;
};
SplitResult SplitAtChar(std::string_view text, char ch);

// Every character of `set` replaced by ch; the length is unchanged.
std::string ReplaceCharsOf(std::string_view text, char ch,
                           std::string_view set);

// Every run of two or more ch reduced to one ch.
std::string CollapseRuns(std::string_view text, char ch);

// Only the bytes "a" to "z" change, to "A" to "Z".
std::string UpperAscii(std::string_view text);

// The characters from position `from` to position `to`, both included.
// The count to - from + 1 is taken before a start below 1 is moved to 1, so
// CopyRange("abcd", 0, 2) == "abc"; the count is cut at the end of the text.
// Empty when the text is empty, the start lies beyond it or the count is
// negative.
std::string CopyRange(std::string_view text, std::int64_t from,
                      std::int64_t to);

// Writes `source` into `target` from position `pos` on (0 counts as 1; a
// position beyond length + 1 counts as length + 1), growing the target where
// the source runs past its end. An empty source changes nothing.
void OverwriteAt(std::string& target, std::size_t pos, std::string_view source);

std::string RepeatChar(char ch, std::size_t n);

// True when the `count` characters from `start` (a count of 0 tests one
// character) lie inside the text and all equal ch; a start of 0 gives false.
bool IsRunOf(std::string_view text, char ch, std::size_t start,
             std::size_t count);

// True exactly for "A" to "Z".
bool IsUpperLetter(char ch);

// The first run of letters "A" to "Z": its 1-based start and its length, or
// 0 and 0 when the text has none. Example: "acgTGCAnn" gives 4 and 4.
struct UpperRun {
  std::size_t start = 0;
  std::size_t length = 0;
};
UpperRun FindUpperRun(std::string_view text);

}  // namespace tessarin

#endif  // TESSARIN_TEXT_STRINGS_H_
