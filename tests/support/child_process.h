// Running part of a test in a forked child process, so that what it changes
// about the process (a resource limit, the user it runs as) and the way it
// may end (out of memory, killed by a signal) stay out of the test program.
#ifndef TESSARIN_TESTS_SUPPORT_CHILD_PROCESS_H_
#define TESSARIN_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <cstdint>
#include <functional>
#include <string>

namespace tessarin::harness {

// Whether address-space limits mean anything in this build: AddressSanitizer
// reserves terabytes of address space for its shadow memory up front.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSpaceLimitsWork = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSpaceLimitsWork = false;
#else
inline constexpr bool kAddressSpaceLimitsWork = true;
#endif
#else
inline constexpr bool kAddressSpaceLimitsWork = true;
#endif

struct ChildOutcome {
  bool completed = false;  // body returned; `report` is what it returned
  std::string report;
  // How the child ended otherwise: "out of memory", "exception: ...",
  // "killed by signal 25", "exit status 3".
  std::string failure;
};

// Runs `body` in a forked child and returns what it returned. The child
// never returns into the test program: it leaves with _exit.
ChildOutcome RunInChild(const std::function<std::string()>& body);

// Limits the calling process's address space to what it maps now plus
// `extra_bytes`, so that an allocation beyond throws std::bad_alloc. Use in
// a child only. Returns false when the limit could not be set.
bool LimitAddressSpace(std::uint64_t extra_bytes);

// Limits the size of any file the calling process writes. Use in a child.
bool LimitFileSize(std::uint64_t bytes);

// Limits the processor time of the calling process: past `seconds` it ends
// with SIGXCPU. Use in a child, to tell linear work from quadratic work.
bool LimitCpuTime(std::uint64_t seconds);

// The unprivileged user that DropRoot becomes.
inline constexpr unsigned kNobody = 65534;

// When running as root, becomes the user and group kNobody, so that file
// permissions apply; does nothing for any other user. Use in a child only.
// Returns false when the change failed.
bool DropRoot();

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_CHILD_PROCESS_H_
