#include "text/sha256.h"

#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>

#include "text/readable_file.h"

namespace tessarin {

namespace {

constexpr std::size_t kChunkSize = 1 << 16;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

struct DigestContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

bool IsRegularFile(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Feeds every byte that `fd` yields to `context`; false on a read error.
bool DigestAll(int fd, EVP_MD_CTX* context) {
  std::array<unsigned char, kChunkSize> chunk;
  for (;;) {
    const ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (EVP_DigestUpdate(context, chunk.data(),
                         static_cast<std::size_t>(got)) != 1) {
      return false;
    }
  }
}

std::string LowerHex(const unsigned char* bytes, unsigned int count) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * count);
  for (unsigned int i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace

std::optional<std::string> FileSha256(const std::string& path) {
  const Descriptor file(OpenReadable(path, /*wait=*/false));
  if (file.get() < 0 || !IsRegularFile(file.get())) return std::nullopt;
  const DigestContext context(EVP_MD_CTX_new());
  if (!context ||
      EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1 ||
      !DigestAll(file.get(), context.get())) {
    return std::nullopt;
  }
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest;
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1) {
    return std::nullopt;
  }
  return LowerHex(digest.data(), length);
}

}  // namespace tessarin
