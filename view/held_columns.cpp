#include "view/held_columns.h"

#include <algorithm>
#include <bit>

namespace tessarin {

namespace {

constexpr std::uint64_t kWordBits = 64;

std::uint64_t FirstBit(std::uint64_t word) {
  return static_cast<std::uint64_t>(std::countr_zero(word));
}

std::uint64_t LastBit(std::uint64_t word) {
  return kWordBits - 1 - static_cast<std::uint64_t>(std::countl_zero(word));
}

}  // namespace

bool HeldColumns::Holds(std::uint64_t column) const {
  const std::uint64_t word = column / kWordBits;
  return word < column_words_ &&
         ((words_[word] >> (column % kWordBits)) & 1U) != 0;
}

void HeldColumns::Add(std::uint64_t column) {
  if (column / kWordBits >= column_words_) Grow(column);
  std::uint64_t bit = column;
  for (std::size_t offset = 0, size = column_words_;;) {
    std::uint64_t& word = words_[offset + bit / kWordBits];
    const bool was_empty = word == 0;
    word |= std::uint64_t{1} << (bit % kWordBits);
    // The levels above know a word that had a bit already.
    if (!was_empty || size == 1) break;
    bit /= kWordBits;
    offset += size;
    size = (size + kWordBits - 1) / kWordBits;
  }
}

void HeldColumns::Grow(std::uint64_t column) {
  const std::size_t size =
      std::max<std::size_t>(column / kWordBits + 1, 2 * column_words_);
  std::size_t total = size;
  for (std::size_t level = size; level > 1;) {
    level = (level + kWordBits - 1) / kWordBits;
    total += level;
  }
  std::vector<std::uint64_t> words(total, 0);
  std::copy_n(words_.begin(), column_words_, words.begin());
  for (std::size_t offset = 0, below = size; below > 1;) {
    const std::size_t above = (below + kWordBits - 1) / kWordBits;
    for (std::size_t j = 0; j < below; ++j) {
      if (words[offset + j] != 0) {
        words[offset + below + j / kWordBits] |= std::uint64_t{1}
                                                 << (j % kWordBits);
      }
    }
    offset += below;
    below = above;
  }
  words_ = std::move(words);
  column_words_ = size;
}

std::uint64_t HeldColumns::NextFrom(std::uint64_t column) const {
  return column_words_ == 0 ? kNone : NextAt(0, column_words_, column);
}

std::uint64_t HeldColumns::LastUpTo(std::uint64_t column) const {
  return column_words_ == 0 ? kNone : LastAt(0, column_words_, column);
}

std::uint64_t HeldColumns::NextAt(std::size_t offset, std::size_t size,
                                  std::uint64_t bit) const {
  const std::uint64_t index = bit / kWordBits;
  if (index >= size) return kNone;
  const std::uint64_t here =
      words_[offset + index] & (~std::uint64_t{0} << (bit % kWordBits));
  if (here != 0) return index * kWordBits + FirstBit(here);
  if (size == 1) return kNone;
  const std::uint64_t next =
      NextAt(offset + size, (size + kWordBits - 1) / kWordBits, index + 1);
  if (next == kNone) return kNone;
  return next * kWordBits + FirstBit(words_[offset + next]);
}

std::uint64_t HeldColumns::LastAt(std::size_t offset, std::size_t size,
                                  std::uint64_t bit) const {
  bit = std::min<std::uint64_t>(bit, size * kWordBits - 1);
  const std::uint64_t index = bit / kWordBits;
  const std::uint64_t within = bit % kWordBits;
  const std::uint64_t mask = within == kWordBits - 1
                                 ? ~std::uint64_t{0}
                                 : (std::uint64_t{1} << (within + 1)) - 1;
  const std::uint64_t here = words_[offset + index] & mask;
  if (here != 0) return index * kWordBits + LastBit(here);
  if (index == 0 || size == 1) return kNone;
  const std::uint64_t last =
      LastAt(offset + size, (size + kWordBits - 1) / kWordBits, index - 1);
  if (last == kNone) return kNone;
  return last * kWordBits + LastBit(words_[offset + last]);
}

}  // namespace tessarin
