#include "app/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <filesystem>
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
  {
    __gnu_cxx::stdio_filebuf<char> buffer(fd, std::ios::out, 1 << 16);
    std::ostream out(&buffer);
    errno = 0;
    write(out);
    out.flush();
    if (!out) error = errno != 0 ? errno : EIO;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error == 0 && ::fchmod(fd, TargetMode(path)) != 0) error = errno;
    // The buffer closes the descriptor when it goes out of scope.
    if (buffer.close() == nullptr && error == 0) error = errno ? errno : EIO;
  }
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
