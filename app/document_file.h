// Writing a document to a file so that a failure never damages a file that
// was there before.
#ifndef TESSARIN_APP_DOCUMENT_FILE_H_
#define TESSARIN_APP_DOCUMENT_FILE_H_

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tessarin {

// How the texts that report an output that could not be written begin: a
// document (SaveDocument) or a folder for documents.
inline constexpr std::string_view kCannotSaveHead = "Cannot save \"";
inline constexpr std::string_view kCannotCreateFolderHead =
    "Cannot create folder \"";

// Whether `message` reports an output that could not be written.
inline bool IsWriteFailure(std::string_view message) {
  return message.starts_with(kCannotSaveHead) ||
         message.starts_with(kCannotCreateFolderHead);
}

// Writes the document to `path` so that a failure never damages what was
// there:
// - nothing there, or a regular file (also through a symbolic link, which
//   stays): the document goes into a new temporary file in the same folder,
//   whose name is no longer than the target's, and that file is renamed over
//   the target in one step; it takes over the replaced file's mode, and its
//   owner and group as far as the process may give them;
// - a character device, a pipe or a socket: the document is written straight
//   into it (a device cannot be replaced by a file without losing it);
// - anything else (a folder, a block device) is refused.
// On failure the temporary file is removed and the result is a text saying
// what failed and the system's reason ("Cannot save \"a.rtf\": No space left
// on device"); on success the result is empty. A write past the process's
// file-size limit is such a failure (EFBIG), not the end of the process.
// SIGINT, SIGTERM or SIGHUP during the save remove the temporary file and
// then act as they would have. An exception from `write` propagates after
// the temporary file is removed.
std::optional<std::string> SaveDocument(
    const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace tessarin

#endif  // TESSARIN_APP_DOCUMENT_FILE_H_
