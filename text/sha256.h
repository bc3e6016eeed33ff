// The SHA-256 digest of a file, for naming exactly which input a document
// was made from.
#ifndef TESSARIN_TEXT_SHA256_H_
#define TESSARIN_TEXT_SHA256_H_

#include <optional>
#include <string>

namespace tessarin {

// The SHA-256 of the bytes of the regular file at `path`, as 64 lower-case
// hexadecimal digits; nothing when it cannot be opened or read, or is no
// regular file (a folder, a pipe or a device has no content to name). Reads
// the file in chunks, so memory does not grow with its size; never blocks on
// opening.
std::optional<std::string> FileSha256(const std::string& path);

}  // namespace tessarin

#endif  // TESSARIN_TEXT_SHA256_H_
