#include "app/document_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/descriptor_buffer.h"

namespace tessarin {

namespace {

// The longest name a folder entry may have on the usual file systems.
constexpr std::size_t kNameMax = 255;
constexpr std::string_view kTemporarySuffix = ".XXXXXX";
constexpr std::string_view kNotAFileReason =
    "Not a regular file, character device, pipe or socket";

std::string Failure(const std::string& path, std::string_view reason) {
  return std::string(kCannotSaveHead) + path + "\": " + std::string(reason);
}

std::string Failure(const std::string& path, int error) {
  return Failure(path, std::strerror(error));
}

// The mode a new file gets: that of the file it replaces, or the usual
// read-write mode less the process's umask.
mode_t NewFileMode(const struct stat* replaced) {
  if (replaced != nullptr) return replaced->st_mode & 07777;
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

// The signals that end a program by request. A save interrupted by one of
// them removes its temporary file before the program ends.
constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// What the handler needs, in storage it may touch: the temporary file's
// name and the dispositions to give back.
std::array<char, PATH_MAX + 1> g_temporary_name{};
volatile sig_atomic_t g_temporary_armed = 0;
std::array<struct sigaction, kEndingSignals.size()> g_previous_actions{};

extern "C" void RemoveTemporaryAndResignal(int signal_number) {
  if (g_temporary_armed != 0) ::unlink(g_temporary_name.data());
  g_temporary_armed = 0;
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    if (kEndingSignals[i] == signal_number) {
      ::sigaction(signal_number, &g_previous_actions[i], nullptr);
    }
  }
  // Delivered once this handler returns, now with the old disposition.
  ::raise(signal_number);
}

// While it lives, SIGINT, SIGTERM and SIGHUP first remove the temporary
// file and then act as before (a signal that was ignored stays ignored).
class TemporaryRemovedOnSignal {
 public:
  explicit TemporaryRemovedOnSignal(const std::string& name) {
    if (name.size() >= g_temporary_name.size()) return;
    std::memcpy(g_temporary_name.data(), name.c_str(), name.size() + 1);
    g_temporary_armed = 1;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndResignal;
    sigemptyset(&action.sa_mask);
    for (int signal_number : kEndingSignals) {
      sigaddset(&action.sa_mask, signal_number);
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      ::sigaction(kEndingSignals[i], nullptr, &g_previous_actions[i]);
      if (g_previous_actions[i].sa_handler == SIG_IGN) continue;
      ::sigaction(kEndingSignals[i], &action, nullptr);
      installed_[i] = true;
    }
  }
  TemporaryRemovedOnSignal(const TemporaryRemovedOnSignal&) = delete;
  TemporaryRemovedOnSignal& operator=(const TemporaryRemovedOnSignal&) = delete;
  ~TemporaryRemovedOnSignal() {
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      if (installed_[i]) {
        ::sigaction(kEndingSignals[i], &g_previous_actions[i], nullptr);
      }
    }
    g_temporary_armed = 0;
  }

 private:
  std::array<bool, kEndingSignals.size()> installed_{};
};

// Writes the document through `fd`; returns the errno of the first step that
// failed, or 0. A regular file is made durable before it counts as written.
int WriteDocument(int fd, bool regular,
                  const std::function<void(std::ostream&)>& write) {
  const FileSizeSignalIgnored file_size_signal_ignored;
  DescriptorBuffer buffer(fd, regular);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (!out) return StreamError(out);
  if (regular && ::fsync(fd) != 0) return errno;
  return 0;
}

// A device, pipe or socket is written into as it is: it cannot be replaced
// by a file without losing what it is.
std::optional<std::string> SaveStraight(
    const std::string& path, const std::function<void(std::ostream&)>& write) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Failure(path, errno);
  int error = 0;
  try {
    error = WriteDocument(fd, false, write);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) return Failure(path, error);
  return std::nullopt;
}

// The name of the temporary file for `target`: hidden, in the same folder,
// and never longer than the longest name the folder can hold.
std::string TemporaryPattern(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string name = target.filename().string();
  const std::size_t extra = 1 + kTemporarySuffix.size();
  if (name.size() + extra > kNameMax && name.size() > extra) {
    name.resize(name.size() - extra);
  }
  return (folder / ("." + name + std::string(kTemporarySuffix))).string();
}

// Gives the new file the owner, group and mode of the file it replaces, as
// far as the process may; a new file keeps the process's own.
int TakeOverIdentity(int fd, const struct stat* replaced) {
  if (replaced != nullptr &&
      ::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
    // Not allowed to give the file away; keeping the group may still be.
    [[maybe_unused]] const int ignored = ::fchown(fd, -1, replaced->st_gid);
  }
  return ::fchmod(fd, NewFileMode(replaced)) == 0 ? 0 : errno;
}

// Writes a new file next to `target` and renames it over `target`.
std::optional<std::string> SaveReplacing(
    const std::string& path, const std::string& target,
    const struct stat* replaced,
    const std::function<void(std::ostream&)>& write) {
  std::string pattern = TemporaryPattern(target);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return Failure(path, errno);
  const std::string temporary(name.data());
  const TemporaryRemovedOnSignal removed_on_signal(temporary);

  int error = 0;
  try {
    error = WriteDocument(fd, true, write);
    if (error == 0) error = TakeOverIdentity(fd, replaced);
  } catch (...) {
    // A writer that throws leaves no temporary file behind either.
    ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failure(path, error);
  }
  return std::nullopt;
}

// Where a symbolic link at `path` leads, so that the file it names is
// replaced and the link stays; `path` itself for anything else.
std::string ResolvedTarget(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    return path;
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

}  // namespace

std::optional<std::string> SaveDocument(
    const std::string& path, const std::function<void(std::ostream&)>& write) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    // Nothing there, or a link that leads nowhere: a new file.
    return SaveReplacing(path, path, nullptr, write);
  }
  if (S_ISDIR(info.st_mode)) return Failure(path, EISDIR);
  if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode) ||
      S_ISSOCK(info.st_mode)) {
    return SaveStraight(path, write);
  }
  if (!S_ISREG(info.st_mode)) return Failure(path, kNotAFileReason);
  return SaveReplacing(path, ResolvedTarget(path), &info, write);
}

}  // namespace tessarin
