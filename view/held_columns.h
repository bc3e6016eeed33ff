// Which columns of an annotation track hold a label character, with quick
// searches for the next and the previous one.
#ifndef TESSARIN_VIEW_HELD_COLUMNS_H_
#define TESSARIN_VIEW_HELD_COLUMNS_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tessarin {

// The columns (from 1) of one track that hold a label character, that is
// anything but the fill character. One bit per column and, above them,
// levels whose bit j tells whether word j of the level below has a bit set,
// up to a level of one word, so that the next or the previous held column is
// found in a few word operations whatever the distance. Columns are only
// ever added.
class HeldColumns {
 public:
  static constexpr std::uint64_t kNone =
      std::numeric_limits<std::uint64_t>::max();

  bool Holds(std::uint64_t column) const;
  void Add(std::uint64_t column);
  // The first held column at or after `column`; kNone when there is none.
  std::uint64_t NextFrom(std::uint64_t column) const;
  // The last held column at or before `column`; kNone when there is none.
  std::uint64_t LastUpTo(std::uint64_t column) const;

 private:
  // The first or last set bit at or after / at or before `bit` of the level
  // of `size` words from word `offset` on; kNone when there is none.
  std::uint64_t NextAt(std::size_t offset, std::size_t size,
                       std::uint64_t bit) const;
  std::uint64_t LastAt(std::size_t offset, std::size_t size,
                       std::uint64_t bit) const;
  void Grow(std::uint64_t column);

  // The levels one after another: the column words_[0, column_words_), then
  // each level above, ending with one word.
  std::vector<std::uint64_t> words_;
  std::size_t column_words_ = 0;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_HELD_COLUMNS_H_
