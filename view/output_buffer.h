// Buffered writing of a document to a stream, so that writers can emit many
// small pieces without paying for a stream call each.
#ifndef TESSARIN_VIEW_OUTPUT_BUFFER_H_
#define TESSARIN_VIEW_OUTPUT_BUFFER_H_

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace tessarin {

// Collects bytes and hands them to the stream in blocks of about
// kFlushSize. The owner must call Flush() at the end; the destructor does
// not, so a stream that throws never throws from a destructor. Failures show
// in the stream's state.
class OutputBuffer {
 public:
  static constexpr std::size_t kFlushSize = std::size_t{1} << 16;

  explicit OutputBuffer(std::ostream& out) : out_(out) {
    buffer_.reserve(kFlushSize + 256);
  }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  void Append(std::string_view bytes) {
    if (buffer_.size() + bytes.size() >= kFlushSize) {
      Flush();
      // A long piece (a whole plain row, say) goes to the stream as it is.
      if (bytes.size() >= kFlushSize) {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return;
      }
    }
    buffer_.append(bytes);
  }
  void Put(char byte) {
    buffer_.push_back(byte);
    if (buffer_.size() >= kFlushSize) Flush();
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  // Whether the stream still accepts output; writers stop early otherwise.
  bool Good() const { return out_.good(); }

 private:
  std::ostream& out_;
  std::string buffer_;
};

// A set of byte values, indexed by the byte as unsigned char.
using ByteSet = std::array<bool, 256>;

// Appends `text` to `out`, handing each byte that `special` holds to
// `escape(byte, out)` and copying the stretches between them whole, so that
// plain text costs one append per stretch rather than one per byte.
template <typename Escape>
void AppendEscaped(std::string_view text, const ByteSet& special,
                   OutputBuffer& out, Escape&& escape) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Eight bytes are tested together first: special bytes are rare.
    while (i + 8 <= text.size() &&
           !(special[bytes[i]] | special[bytes[i + 1]] | special[bytes[i + 2]] |
             special[bytes[i + 3]] | special[bytes[i + 4]] |
             special[bytes[i + 5]] | special[bytes[i + 6]] |
             special[bytes[i + 7]])) {
      i += 8;
    }
    if (i == text.size()) break;
    const unsigned char byte = bytes[i];
    if (!special[byte]) continue;
    if (i > plain) out.Append(text.substr(plain, i - plain));
    escape(byte, out);
    plain = i + 1;
  }
  if (plain < text.size()) out.Append(text.substr(plain));
}

}  // namespace tessarin

#endif  // TESSARIN_VIEW_OUTPUT_BUFFER_H_
