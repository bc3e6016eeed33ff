// Work done on a thread of its own while the caller goes on.
#ifndef TESSARIN_TEXT_BACKGROUND_H_
#define TESSARIN_TEXT_BACKGROUND_H_

#include <future>
#include <system_error>
#include <type_traits>

namespace tessarin {

// Starts `task` on a thread of its own. When no thread can be had, the task
// is done instead when its result is first asked for, on the asking thread.
// The future waits for the thread when it is the last to go.
template <typename Task>
std::future<std::invoke_result_t<Task&>> StartInBackground(const Task& task) {
  try {
    return std::async(std::launch::async, task);
  } catch (const std::system_error&) {
    return std::async(std::launch::deferred, task);
  }
}

}  // namespace tessarin

#endif  // TESSARIN_TEXT_BACKGROUND_H_
