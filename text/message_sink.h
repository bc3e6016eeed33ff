// Where readers and commands report problems. The window shows each text in a
// modal box, the batch front end writes it to standard error, and tests record
// it. Reporting never stops the caller by itself: the caller decides whether
// to go on.
#ifndef TESSARIN_TEXT_MESSAGE_SINK_H_
#define TESSARIN_TEXT_MESSAGE_SINK_H_

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows one message text, exactly as given (it may hold line breaks).
  virtual void Show(std::string_view text) = 0;
};

// Keeps every message in order; used by tests and by the batch front end.
class RecordingSink : public MessageSink {
 public:
  void Show(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

// Drops every message.
class NullSink : public MessageSink {
 public:
  void Show(std::string_view) override {}
};

}  // namespace tessarin

#endif  // TESSARIN_TEXT_MESSAGE_SINK_H_
