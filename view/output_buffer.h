// Writing a document to a stream in many small pieces.
#ifndef TESSARIN_VIEW_OUTPUT_BUFFER_H_
#define TESSARIN_VIEW_OUTPUT_BUFFER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "text/byte_words.h"

namespace tessarin {

// Where a writer puts its pieces. They are gathered in a buffer of its own
// and handed to the stream 64 KB at a time (a piece that large goes on at
// once), which costs far less than one stream call per piece. Without a
// stream the pieces stay in memory, for a part of a document that is made
// apart from the rest (view/parallel_lines.h). Failures show in the stream's
// state, at the latest once the writer is done.
class DocumentOut {
 public:
  // Gathers the pieces in memory; Bytes() gives them.
  DocumentOut() = default;
  explicit DocumentOut(std::ostream& out) : out_(&out) {
    buffer_.reserve(kHandOn);
  }
  DocumentOut(const DocumentOut&) = delete;
  DocumentOut& operator=(const DocumentOut&) = delete;
  // Hands on what is left. A stream that throws on failure has failed
  // already, so its exception is not let out of here.
  ~DocumentOut() {
    try {
      Flush();
    } catch (...) {
    }
  }

  void Append(std::string_view bytes) {
    if (out_ != nullptr && buffer_.size() + bytes.size() > kHandOn) {
      Flush();
      if (bytes.size() >= kHandOn) {
        Write(bytes);
        return;
      }
    }
    buffer_.append(bytes);
  }
  void Put(char byte) {
    buffer_.push_back(byte);
    if (out_ != nullptr && buffer_.size() >= kHandOn) Flush();
  }
  // Whether the stream still accepts output; writers stop early otherwise.
  bool Good() const { return out_ == nullptr || out_->good(); }
  // Hands the gathered bytes to the stream (nothing without one).
  void Flush() {
    if (out_ == nullptr || buffer_.empty()) return;
    Write(buffer_);
    buffer_.clear();
  }

  // The bytes gathered and not yet handed on; Clear() drops them (keeping
  // the buffer's room).
  std::string_view Bytes() const { return buffer_; }
  void Clear() { buffer_.clear(); }

 private:
  static constexpr std::size_t kHandOn = std::size_t{1} << 16;

  void Write(std::string_view bytes) {
    out_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::ostream* out_ = nullptr;
  std::string buffer_;
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
