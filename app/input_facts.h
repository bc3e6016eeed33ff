// The size and SHA-256 of the input files, for the documents' provenance.
#ifndef TESSARIN_APP_INPUT_FACTS_H_
#define TESSARIN_APP_INPUT_FACTS_H_

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessarin {

struct FileFacts {
  std::optional<std::uint64_t> size;  // bytes; nothing when unknown
  std::string sha256;  // lower-case hex; empty when the file cannot be read
};

// The facts of `path` as the file is now.
FileFacts TakeFileFacts(const std::string& path);

// The facts of each file read in, taken on a thread of their own right after
// the file has been read, while the next commands run: a document describes
// its inputs as they were then, not as they are when it is saved, and saving
// does not wait for every file to be hashed again.
class InputFacts {
 public:
  // Forgets every file.
  void Clear() { taken_.clear(); }
  // Starts taking the facts of `path`.
  void Start(const std::string& path);
  // The facts of `path` as Start took them; taken now when it never did.
  FileFacts Of(const std::string& path) const;

 private:
  std::vector<std::pair<std::string, std::shared_future<FileFacts>>> taken_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_INPUT_FACTS_H_
