// Writing a document to a file so that a failure never damages a file that
// was there before.
#ifndef TESSARIN_APP_DOCUMENT_FILE_H_
#define TESSARIN_APP_DOCUMENT_FILE_H_

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace tessarin {

// Writes the document into a new temporary file in the target's folder, then
// renames it over `path` in one step. A file already at `path` keeps its
// permissions. On failure the temporary file is removed, anything at `path`
// stays as it was, and the result is a text saying what failed and the
// system's reason ("Cannot save \"a.rtf\": No space left on device"); on
// success the result is empty. A write past the process's file-size limit is
// such a failure (EFBIG), not the end of the process. An exception from
// `write` propagates after the temporary file is removed.
std::optional<std::string> SaveDocument(
    const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace tessarin

#endif  // TESSARIN_APP_DOCUMENT_FILE_H_
