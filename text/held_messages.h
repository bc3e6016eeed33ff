// Messages kept to be shown later, in their order.
#ifndef TESSARIN_TEXT_HELD_MESSAGES_H_
#define TESSARIN_TEXT_HELD_MESSAGES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/message_sink.h"

namespace tessarin {

// Keeps what it is shown, for work done apart from the sink it reports to
// (on another thread, say). A run of one text is kept once with its count,
// so that many repeats of one problem are held once.
class HeldMessages : public MessageSink {
 public:
  void Show(std::string_view text) override {
    if (!held_.empty() && held_.back().first == text) {
      ++held_.back().second;
    } else {
      held_.emplace_back(std::string(text), 1);
    }
  }
  // Shows every message kept, in order, as often as it was shown.
  void ShowIn(MessageSink& sink) const {
    for (const auto& [text, count] : held_) {
      for (std::size_t i = 0; i < count; ++i) sink.Show(text);
    }
  }
  void Clear() { held_.clear(); }

 private:
  std::vector<std::pair<std::string, std::size_t>> held_;
};

}  // namespace tessarin

#endif  // TESSARIN_TEXT_HELD_MESSAGES_H_
