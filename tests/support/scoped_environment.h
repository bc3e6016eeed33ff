// Sets an environment variable for a scope and puts back what was there.
#ifndef TESSARIN_TESTS_SUPPORT_SCOPED_ENVIRONMENT_H_
#define TESSARIN_TESTS_SUPPORT_SCOPED_ENVIRONMENT_H_

#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>

namespace tessarin::testing {

class ScopedEnvironment {
 public:
  // `value` nullptr: the variable is unset for the scope.
  ScopedEnvironment(std::string name, const char* value)
      : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str())) old_ = old;
    Set(value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { Set(old_ ? old_->c_str() : nullptr); }

 private:
  void Set(const char* value) const {
    if (value == nullptr) {
      ::unsetenv(name_.c_str());
    } else {
      ::setenv(name_.c_str(), value, 1);
    }
  }

  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace tessarin::testing

#endif  // TESSARIN_TESTS_SUPPORT_SCOPED_ENVIRONMENT_H_
