#include "view/attribute_id_array.h"

#include <algorithm>

namespace tessarin {

namespace {

constexpr std::uint32_t kNarrowMax = 0xFFFF;

}  // namespace

void AttributeIdArray::Widen(Block& block) {
  block.wide = std::make_unique_for_overwrite<std::uint32_t[]>(kBlockSize);
  std::copy(block.narrow.get(), block.narrow.get() + kBlockSize,
            block.wide.get());
  block.narrow.reset();
}

void AttributeIdArray::Append(std::uint64_t count, std::uint32_t id) {
  while (count > 0) {
    const std::uint64_t offset = size_ & (kBlockSize - 1);
    if (offset == 0) {
      blocks_.emplace_back();
      blocks_.back().narrow =
          std::make_unique_for_overwrite<std::uint16_t[]>(kBlockSize);
    }
    Block& block = blocks_.back();
    if (id > kNarrowMax && !block.wide) Widen(block);
    const std::uint64_t step = std::min(count, kBlockSize - offset);
    if (block.wide) {
      std::fill_n(block.wide.get() + offset, step, id);
    } else {
      std::fill_n(block.narrow.get() + offset, step,
                  static_cast<std::uint16_t>(id));
    }
    size_ += step;
    count -= step;
  }
}

void AttributeIdArray::Set(std::uint64_t i, std::uint32_t id) {
  Block& block = blocks_[i >> kBlockBits];
  const std::uint64_t offset = i & (kBlockSize - 1);
  if (id > kNarrowMax && !block.wide) Widen(block);
  if (block.wide) {
    block.wide[offset] = id;
  } else {
    block.narrow[offset] = static_cast<std::uint16_t>(id);
  }
}

void AttributeIdArray::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  size_ = 0;
}

}  // namespace tessarin
