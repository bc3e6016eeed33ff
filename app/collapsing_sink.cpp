#include "app/collapsing_sink.h"

#include <cstdio>
#include <exception>

#include "app/workspace.h"

namespace tessarin {

std::string CollapsedText(const std::string& text, std::size_t count) {
  if (count <= 1) return text;
  return text + "\n(reported " + std::to_string(count) + " times)";
}

void CollapsingSink::Show(std::string_view text) {
  if (depth_ == 0) {
    boxes_.Present(std::string(text));
    return;
  }
  std::string key(text);
  const auto [found, inserted] = index_.try_emplace(key, pending_.size());
  if (inserted) {
    pending_.emplace_back(std::move(key), 1);
    return;
  }
  ++pending_[found->second].second;
}

void CollapsingSink::EndCommand() {
  if (depth_ > 0) --depth_;
  if (depth_ > 0) return;
  // Taken out first: presenting runs a modal loop that may report again.
  std::vector<std::pair<std::string, std::size_t>> texts;
  texts.swap(pending_);
  index_.clear();
  for (const auto& [text, count] : texts) {
    boxes_.Present(CollapsedText(text, count));
  }
}

CommandMessages::~CommandMessages() {
  try {
    sink_.EndCommand();
  } catch (const std::exception& error) {
    const std::string_view text = FailureText(error);
    std::fprintf(stderr, "tessarin: %.*s\n", static_cast<int>(text.size()),
                 text.data());
  }
}

}  // namespace tessarin
