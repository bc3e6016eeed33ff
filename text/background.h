// Work done on a thread of its own while the caller goes on.
#ifndef TESSARIN_TEXT_BACKGROUND_H_
#define TESSARIN_TEXT_BACKGROUND_H_

#include <exception>
#include <future>
#include <system_error>
#include <thread>
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

// Runs `helper_part` on a thread of its own while `own_part` runs on this
// one, and waits for both. When either throws, `stop()` is called so that
// the other can end early, and the exception comes out here once both are
// done. Returns false, having run neither, when no thread can be had.
template <typename HelperPart, typename OwnPart, typename Stop>
bool RunBeside(const HelperPart& helper_part, const OwnPart& own_part,
               const Stop& stop) {
  std::exception_ptr failure;
  std::thread helper;
  try {
    helper = std::thread([&] {
      try {
        helper_part();
      } catch (...) {
        failure = std::current_exception();
        stop();
      }
    });
  } catch (const std::system_error&) {
    return false;
  }
  try {
    own_part();
  } catch (...) {
    stop();
    helper.join();
    throw;
  }
  helper.join();
  if (failure) std::rethrow_exception(failure);
  return true;
}

}  // namespace tessarin

#endif  // TESSARIN_TEXT_BACKGROUND_H_
