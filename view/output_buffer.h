// Writing a document to a stream in many small pieces.
#ifndef TESSARIN_VIEW_OUTPUT_BUFFER_H_
#define TESSARIN_VIEW_OUTPUT_BUFFER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>

#include "text/byte_words.h"

namespace tessarin {

// Where a writer puts its pieces: straight into the stream, whose own buffer
// collects them (a file being saved has one of 64 KB). Failures show in the
// stream's state.
class DocumentOut {
 public:
  explicit DocumentOut(std::ostream& out) : out_(out) {}
  DocumentOut(const DocumentOut&) = delete;
  DocumentOut& operator=(const DocumentOut&) = delete;

  void Append(std::string_view bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void Put(char byte) { out_.put(byte); }
  // Whether the stream still accepts output; writers stop early otherwise.
  bool Good() const { return out_.good(); }

 private:
  std::ostream& out_;
};

// The bytes a document format must escape: every byte below `below` except
// `allowed`, every byte from 0x80 on when `high`, and the bytes of `listed`
// (at most eight). Kept both as a table, for single bytes, and as its
// description, which tests eight bytes at a time.
struct EscapeSet {
  std::array<bool, 256> bytes{};
  std::uint8_t below = 0;
  bool high = false;
  std::array<std::uint8_t, 8> listed{};
  std::size_t listed_count = 0;
};

constexpr EscapeSet MakeEscapeSet(std::uint8_t below, int allowed, bool high,
                                  std::string_view listed) {
  EscapeSet set;
  set.below = below;
  set.high = high;
  for (int byte = 0; byte < 256; ++byte) {
    set.bytes[byte] =
        (byte < below && byte != allowed) || (high && byte >= 0x80);
  }
  for (const char c : listed) {
    const auto byte = static_cast<std::uint8_t>(c);
    set.bytes[byte] = true;
    if (set.listed_count < set.listed.size())
      set.listed[set.listed_count++] = byte;
  }
  return set;
}

// Whether the eight bytes of `word` may hold a byte of `set` (never false
// when one does; a byte equal to `allowed` also answers true). Each test is
// the usual bit trick for "some byte is below n" (n <= 128).
inline bool MayHoldEscape(const EscapeSet& set, std::uint64_t word) {
  if (set.high && (word & kEveryByteHigh) != 0) return true;
  if (set.below > 0 && HasByteBelow(word, set.below)) return true;
  for (std::size_t k = 0; k < set.listed_count; ++k) {
    if (HasByte(word, set.listed[k])) return true;
  }
  return false;
}

// Appends `text` to `out`, handing each byte of `special` to
// `escape(byte, out)` and copying the stretches between them whole, so that
// plain text costs one append per stretch rather than one per byte.
template <typename Escape>
void AppendEscaped(std::string_view text, const EscapeSet& special,
                   DocumentOut& out, Escape&& escape) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Eight bytes are tested together first: special bytes are rare.
    for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
      std::memcpy(&word, bytes + i, 8);
      if (MayHoldEscape(special, word)) break;
    }
    if (i == text.size()) break;
    const unsigned char byte = bytes[i];
    if (!special.bytes[byte]) continue;
    if (i > plain) out.Append(text.substr(plain, i - plain));
    escape(byte, out);
    plain = i + 1;
  }
  if (plain < text.size()) out.Append(text.substr(plain));
}

}  // namespace tessarin

#endif  // TESSARIN_VIEW_OUTPUT_BUFFER_H_
