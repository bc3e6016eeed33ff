#include "app/input_facts.h"

#include <filesystem>
#include <system_error>

#include "text/background.h"
#include "text/sha256.h"

namespace tessarin {

FileFacts TakeFileFacts(const std::string& path) {
  FileFacts facts;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) facts.size = size;
  facts.sha256 = FileSha256(path).value_or(std::string());
  return facts;
}

void InputFacts::Start(const std::string& path) {
  taken_.emplace_back(
      path, StartInBackground([path] { return TakeFileFacts(path); }));
}

FileFacts InputFacts::Of(const std::string& path) const {
  // The latest start for the path counts.
  for (auto it = taken_.rbegin(); it != taken_.rend(); ++it) {
    if (it->first == path) return it->second.get();
  }
  return TakeFileFacts(path);
}

}  // namespace tessarin
