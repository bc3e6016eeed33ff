// Message boxes per command: a command that reports the same problem many
// times (a site missing from a thousand sequences) shows one box for it, not
// a thousand.
#ifndef TESSARIN_APP_COLLAPSING_SINK_H_
#define TESSARIN_APP_COLLAPSING_SINK_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "text/message_sink.h"

namespace tessarin {

// While a command runs, keeps its messages; when the command ends, presents
// each distinct text once, in the order of its first report. A text reported
// more than once gets a second line "(reported N times)". Messages reported
// outside any command are presented at once.
//
// Commands may nest (a handler that runs another); the boxes appear when the
// outermost command ends.
class CollapsingSink : public MessageSink {
 public:
  explicit CollapsingSink(MessageBoxes& boxes) : boxes_(boxes) {}

  void Show(std::string_view text) override;

  void BeginCommand() { ++depth_; }
  // Presents what the command reported. Boxes are modal and run events; a
  // message reported while they are up is presented at once.
  void EndCommand();

 private:
  MessageBoxes& boxes_;
  int depth_ = 0;
  // Distinct texts in order of first report, each with its count.
  std::vector<std::pair<std::string, std::size_t>> pending_;
  std::unordered_map<std::string, std::size_t> index_;
};

// The text of the box for a message reported `count` times.
std::string CollapsedText(const std::string& text, std::size_t count);

// Marks one command for a CollapsingSink for the lifetime of the object.
class CommandMessages {
 public:
  explicit CommandMessages(CollapsingSink& sink) : sink_(sink) {
    sink_.BeginCommand();
  }
  // Presents the command's messages. Should even that run out of memory,
  // the failure goes to standard error rather than out of a destructor.
  ~CommandMessages();
  CommandMessages(const CommandMessages&) = delete;
  CommandMessages& operator=(const CommandMessages&) = delete;

 private:
  CollapsingSink& sink_;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_COLLAPSING_SINK_H_
