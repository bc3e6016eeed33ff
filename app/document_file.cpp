#include "app/document_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <streambuf>
#include <vector>

namespace tessarin {

namespace {

std::string Failure(const std::string& path, int error) {
  return "Cannot save \"" + path + "\": " + std::strerror(error);
}

// The mode a new file gets: that of the file it replaces, or the usual
// read-write mode less the process's umask.
mode_t TargetMode(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    return info.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// While it lives, a write past the process's file-size limit fails with
// EFBIG instead of ending the process with SIGXFSZ, so that a full quota is
// reported like a full disk. The previous disposition comes back afterwards.
// The window and the batch front end save from their one thread.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previous_);
  }
  FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
  FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;
  ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// A stream buffer that writes to a file descriptor and keeps the system's
// reason for the first write that failed; nothing is written after it.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(1 << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }

  // The errno of the first failed write, or 0.
  int error() const { return error_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    if (error_ != 0) return false;
    const char* next = pbase();
    while (next < pptr()) {
      const ssize_t written =
          ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
      if (written < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
      }
      next += written;
      written_ += static_cast<std::uint64_t>(written);
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    StartWriteback();
    return true;
  }

  // Starts writing each finished stretch of kWritebackStep bytes to the disk
  // while the rest of the document is being made, so that the final fsync
  // has little left to wait for. Only a hint: failures are ignored (the
  // fsync reports real ones).
  void StartWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
    constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;
    if (written_ - started_ < kWritebackStep) return;
    ::sync_file_range(fd_, static_cast<off_t>(started_),
                      static_cast<off_t>(written_ - started_),
                      SYNC_FILE_RANGE_WRITE);
    started_ = written_;
#endif
  }

  int fd_;
  std::vector<char> buffer_;
  int error_ = 0;
  std::uint64_t written_ = 0;  // bytes written so far
  std::uint64_t started_ = 0;  // bytes whose writeback has been started
};

// Writes the document into the open temporary file and makes it durable;
// returns the errno of the first step that failed, or 0.
int WriteTemporary(int fd, const std::string& path,
                   const std::function<void(std::ostream&)>& write) {
  const FileSizeSignalIgnored file_size_signal_ignored;
  DescriptorBuffer buffer(fd);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (!out) return buffer.error() != 0 ? buffer.error() : EIO;
  if (::fsync(fd) != 0) return errno;
  if (::fchmod(fd, TargetMode(path)) != 0) return errno;
  return 0;
}

}  // namespace

std::optional<std::string> SaveDocument(
    const std::string& path, const std::function<void(std::ostream&)>& write) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return Failure(path, EISDIR);
  }
  const std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern =
      (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return Failure(path, errno);
  const std::string temporary(name.data());

  int error = 0;
  try {
    error = WriteTemporary(fd, path, write);
  } catch (...) {
    // A writer that throws leaves no temporary file behind either.
    ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failure(path, error);
  }
  return std::nullopt;
}

}  // namespace tessarin
