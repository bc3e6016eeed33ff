// Work on the rows of an alignment in two stages that overlap: the first
// stage of the next row runs on a thread of its own while the second stage
// of this row runs on the calling thread.
#ifndef TESSARIN_VIEW_ROW_PIPELINE_H_
#define TESSARIN_VIEW_ROW_PIPELINE_H_

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "text/background.h"

namespace tessarin {

// `Marks` is what the first stage of a row hands to its second; two of them
// are used in turn, so each keeps its memory from row to row.
template <typename Marks>
class RowPipeline {
 public:
  explicit RowPipeline(std::size_t rows) : rows_(rows) {}
  RowPipeline(const RowPipeline&) = delete;
  RowPipeline& operator=(const RowPipeline&) = delete;

  // Calls first(i, marks) for every row in order on a helper thread and
  // second(i, marks) with the same marks for every row in order on this
  // one, at most one row behind. An exception of either stage ends both and
  // is rethrown here. A single row, or a machine with no thread to spare,
  // runs both stages row by row on this thread.
  template <typename First, typename Second>
  void Run(const First& first, const Second& second) {
    const bool beside =
        rows_ >= 2 && RunBeside([&] { MakeAll(first); },
                                [&] { TakeAll(second); }, [&] { Stop(); });
    if (!beside) RunHere(first, second);
  }

 private:
  template <typename First, typename Second>
  void RunHere(const First& first, const Second& second) {
    for (std::size_t i = 0; i < rows_; ++i) {
      first(i, slots_[0]);
      second(i, slots_[0]);
    }
  }

  // The second stage of every row, each once its first stage is done.
  template <typename Second>
  void TakeAll(const Second& second) {
    for (std::size_t i = 0; i < rows_; ++i) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return made_ > i || stopped_; });
        if (stopped_) return;
      }
      second(i, slots_[i % 2]);
      {
        const std::lock_guard lock(mutex_);
        taken_ = i + 1;
      }
      changed_.notify_all();
    }
  }

  // The first stage of every row, each into a slot the second stage has
  // finished with.
  template <typename First>
  void MakeAll(const First& first) {
    for (std::size_t i = 0; i < rows_; ++i) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return i < taken_ + 2 || stopped_; });
        if (stopped_) return;
      }
      first(i, slots_[i % 2]);
      {
        const std::lock_guard lock(mutex_);
        made_ = i + 1;
      }
      changed_.notify_all();
    }
  }

  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }

  std::size_t rows_;
  std::array<Marks, 2> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t made_ = 0;   // rows whose first stage is done
  std::size_t taken_ = 0;  // rows whose second stage is done
  bool stopped_ = false;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ROW_PIPELINE_H_
