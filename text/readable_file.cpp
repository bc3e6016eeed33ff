#include "text/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessarin {

bool IsExistingFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 &&
         !S_ISDIR(info.st_mode);
}

int OpenReadable(const std::string& path, bool wait, int* error) {
  const int flags = O_RDONLY | O_CLOEXEC | (wait ? 0 : O_NONBLOCK);
  const int fd = ::open(path.c_str(), flags);
  int failure = fd < 0 ? errno : 0;
  struct stat info {};
  if (fd >= 0 && ::fstat(fd, &info) != 0) failure = errno;
  if (fd >= 0 && failure == 0 && S_ISDIR(info.st_mode)) failure = EISDIR;
  if (failure == 0) return fd;
  if (fd >= 0) ::close(fd);
  if (error != nullptr) *error = failure;
  return -1;
}

std::string ReadFailureHead(const std::string& path) {
  return "Cannot read \"" + path + "\"";
}

std::optional<std::string> ReadFailure(const std::string& path) {
  int error = 0;
  const int fd = OpenReadable(path, false, &error);
  if (fd < 0) return ReadFailureHead(path) + ": " + std::strerror(error);
  ::close(fd);
  return std::nullopt;
}

}  // namespace tessarin
