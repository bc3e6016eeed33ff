// Whether a file can be read: one test, used by the readers when they open a
// file and by the commands before they read.
#ifndef TESSARIN_TEXT_READABLE_FILE_H_
#define TESSARIN_TEXT_READABLE_FILE_H_

#include <optional>
#include <string>

namespace tessarin {

// Whether `path` names something that exists and is not a folder.
bool IsExistingFile(const std::string& path);

// Opens `path` for reading as a file. Returns the descriptor, or -1 with the
// system's reason in `*error` when given (a folder fails with EISDIR). With
// `wait` false the open never blocks, not even on a pipe without a writer.
int OpenReadable(const std::string& path, bool wait, int* error = nullptr);

// What a failed open or read of `path` reports before ": " and the system's
// reason: "Cannot read \"a.fas\"".
std::string ReadFailureHead(const std::string& path);

// Why the file at `path` cannot be read ("Cannot read \"a.fas\": Permission
// denied"), or nothing when it can. Never blocks.
std::optional<std::string> ReadFailure(const std::string& path);

}  // namespace tessarin

#endif  // TESSARIN_TEXT_READABLE_FILE_H_
