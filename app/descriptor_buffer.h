// A stream buffer over a file descriptor that remembers why a write failed.
#ifndef TESSARIN_APP_DESCRIPTOR_BUFFER_H_
#define TESSARIN_APP_DESCRIPTOR_BUFFER_H_

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <vector>

namespace tessarin {

// Writes to `fd` (not owned) in blocks of 64 KB. The first write that fails
// is kept with its errno and nothing is written after it, so the stream's
// failure can be reported with the system's reason. With `writeback`, each
// finished stretch of 8 MB is handed to the disk while the rest is made, so
// that a later fsync has little left to wait for.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd, bool writeback = false);

  // The errno of the first failed write, or 0.
  int error() const { return error_; }

 protected:
  int_type overflow(int_type ch) override;
  // A piece at least as large as the buffer is written straight from where
  // it is, once the buffer is drained, rather than copied through it.
  std::streamsize xsputn(const char_type* bytes,
                         std::streamsize count) override;
  int sync() override;

 private:
  bool Drain();
  bool WriteAll(const char* bytes, std::size_t count);
  void StartWriteback();

  int fd_;
  bool writeback_;
  std::vector<char> buffer_;
  int error_ = 0;
  std::uint64_t written_ = 0;  // bytes written so far
  std::uint64_t started_ = 0;  // bytes whose writeback has been started
};

// Why writing to `out` failed: the errno its DescriptorBuffer kept, or EIO
// when the stream has another kind of buffer or kept none.
int StreamError(const std::ostream& out);

}  // namespace tessarin

#endif  // TESSARIN_APP_DESCRIPTOR_BUFFER_H_
