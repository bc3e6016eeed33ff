// Buffered writing of a document to a stream, so that writers can emit many
// small pieces without paying for a stream call each.
#ifndef TESSARIN_VIEW_OUTPUT_BUFFER_H_
#define TESSARIN_VIEW_OUTPUT_BUFFER_H_

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
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushSize) Flush();
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

}  // namespace tessarin

#endif  // TESSARIN_VIEW_OUTPUT_BUFFER_H_
