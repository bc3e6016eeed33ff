#include "app/descriptor_buffer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tessarin {

namespace {
constexpr std::size_t kBufferBytes = std::size_t{1} << 16;
}  // namespace

DescriptorBuffer::DescriptorBuffer(int fd, bool writeback)
    : fd_(fd), writeback_(writeback), buffer_(kBufferBytes) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type ch) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

int DescriptorBuffer::sync() { return Drain() ? 0 : -1; }

std::streamsize DescriptorBuffer::xsputn(const char_type* bytes,
                                         std::streamsize count) {
  if (count < static_cast<std::streamsize>(buffer_.size())) {
    return std::streambuf::xsputn(bytes, count);
  }
  if (!Drain() || !WriteAll(bytes, static_cast<std::size_t>(count))) return 0;
  if (writeback_) StartWriteback();
  return count;
}

bool DescriptorBuffer::Drain() {
  if (!WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()))) {
    return false;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  if (writeback_) StartWriteback();
  return true;
}

bool DescriptorBuffer::WriteAll(const char* bytes, std::size_t count) {
  if (error_ != 0) return false;
  const char* end = bytes + count;
  while (bytes < end) {
    const ssize_t written =
        ::write(fd_, bytes, static_cast<std::size_t>(end - bytes));
    if (written < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    bytes += written;
    written_ += static_cast<std::uint64_t>(written);
  }
  return true;
}

// Only a hint: failures are ignored (the fsync reports real ones).
void DescriptorBuffer::StartWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
  constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;
  if (written_ - started_ < kWritebackStep) return;
  ::sync_file_range(fd_, static_cast<off_t>(started_),
                    static_cast<off_t>(written_ - started_),
                    SYNC_FILE_RANGE_WRITE);
  started_ = written_;
#endif
}

int StreamError(const std::ostream& out) {
  const auto* buffer = dynamic_cast<const DescriptorBuffer*>(out.rdbuf());
  if (buffer != nullptr && buffer->error() != 0) return buffer->error();
  return EIO;
}

}  // namespace tessarin
