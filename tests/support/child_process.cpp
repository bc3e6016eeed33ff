#include "support/child_process.h"

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <fstream>
#include <new>
#include <sstream>

namespace tessarin::harness {

namespace {

// Exit statuses of the child besides 0.
constexpr int kOutOfMemory = 3;
constexpr int kException = 4;

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string ReadAll(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(chunk, static_cast<std::size_t>(n));
  }
}

// The bytes of address space the process maps now (VmSize).
std::uint64_t MappedBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) != 0) continue;
    std::istringstream fields(line.substr(7));
    std::uint64_t kilobytes = 0;
    fields >> kilobytes;
    return kilobytes * 1024;
  }
  return 0;
}

[[noreturn]] void RunBody(const std::function<std::string()>& body, int fd) {
  int status = 0;
  std::string report;
  try {
    report = body();
  } catch (const std::bad_alloc&) {
    status = kOutOfMemory;
  } catch (const std::exception& error) {
    status = kException;
    report = error.what();
  }
  WriteAll(fd, report);
  ::close(fd);
  ::_exit(status);
}

}  // namespace

ChildOutcome RunInChild(const std::function<std::string()>& body) {
  ChildOutcome outcome;
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) {
    outcome.failure = "pipe failed";
    return outcome;
  }
  std::fflush(nullptr);  // nothing buffered is written twice
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    outcome.failure = "fork failed";
    return outcome;
  }
  if (pid == 0) {
    ::close(pipe_fds[0]);
    RunBody(body, pipe_fds[1]);
  }
  ::close(pipe_fds[1]);
  const std::string report = ReadAll(pipe_fds[0]);
  ::close(pipe_fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    outcome.failure = "killed by signal " + std::to_string(WTERMSIG(status));
  } else if (WEXITSTATUS(status) == kOutOfMemory) {
    outcome.failure = "out of memory";
  } else if (WEXITSTATUS(status) == kException) {
    outcome.failure = "exception: " + report;
  } else if (WEXITSTATUS(status) != 0) {
    outcome.failure = "exit status " + std::to_string(WEXITSTATUS(status));
  } else {
    outcome.completed = true;
    outcome.report = report;
  }
  return outcome;
}

bool LimitAddressSpace(std::uint64_t extra_bytes) {
  const std::uint64_t mapped = MappedBytes();
  if (mapped == 0) return false;
  const rlimit limit{mapped + extra_bytes, mapped + extra_bytes};
  return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

bool LimitFileSize(std::uint64_t bytes) {
  const rlimit limit{bytes, bytes};
  return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

bool LimitCpuTime(std::uint64_t seconds) {
  const rlimit limit{seconds, seconds + 1};
  return ::setrlimit(RLIMIT_CPU, &limit) == 0;
}

bool DropRoot() {
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 &&
         ::setuid(kNobody) == 0;
}

}  // namespace tessarin::harness
