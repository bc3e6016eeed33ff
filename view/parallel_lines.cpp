#include "view/parallel_lines.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "text/background.h"

namespace tessarin {

namespace {

constexpr std::uint64_t kChunkText = std::uint64_t{1} << 18;

// The first line of every chunk, then the line count.
std::vector<std::size_t> ChunkStarts(const RichView& view) {
  std::vector<std::size_t> starts = {0};
  std::uint64_t text = 0;
  for (std::size_t line = 0; line < view.LineCount(); ++line) {
    text += view.Line(line).size() + 1;
    if (text >= kChunkText) {
      starts.push_back(line + 1);
      text = 0;
    }
  }
  if (starts.back() != view.LineCount()) starts.push_back(view.LineCount());
  return starts;
}

// Whose turn it is to hand a chunk on, and whether the writing has ended
// early.
class Turns {
 public:
  // Waits for chunk `chunk`'s turn; false once the writing has ended.
  bool Await(std::size_t chunk) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return next_ == chunk || stopped_; });
    return !stopped_;
  }
  void Pass() {
    {
      const std::lock_guard lock(mutex_);
      ++next_;
    }
    changed_.notify_all();
  }
  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;
  bool stopped_ = false;
};

// Makes the chunks first, first + stride, ... and hands each on in its turn.
void WriteChunks(const std::vector<std::size_t>& starts, std::size_t first,
                 std::size_t stride, const LineWriter& write_line,
                 const ChunkHandOn& hand_on, DocumentOut& out, Turns& turns) {
  DocumentOut chunk;
  for (std::size_t k = first; k + 1 < starts.size(); k += stride) {
    chunk.Clear();
    for (std::size_t line = starts[k]; line < starts[k + 1]; ++line) {
      write_line(line, chunk);
    }
    if (!turns.Await(k)) return;
    if (hand_on) {
      hand_on(chunk.Bytes(), out);
    } else {
      out.Append(chunk.Bytes());
    }
    if (!out.Good()) {
      turns.Stop();
      return;
    }
    turns.Pass();
  }
}

}  // namespace

void WriteLinesInParallel(const RichView& view, const LineWriter& write_line,
                          DocumentOut& out, const ChunkHandOn& hand_on) {
  const std::vector<std::size_t> starts = ChunkStarts(view);
  Turns turns;
  if (starts.size() <= 2) {
    WriteChunks(starts, 0, 1, write_line, hand_on, out, turns);
    return;
  }
  const bool beside = RunBeside(
      [&] { WriteChunks(starts, 1, 2, write_line, hand_on, out, turns); },
      [&] { WriteChunks(starts, 0, 2, write_line, hand_on, out, turns); },
      [&] { turns.Stop(); });
  if (!beside) WriteChunks(starts, 0, 1, write_line, hand_on, out, turns);
}

}  // namespace tessarin
