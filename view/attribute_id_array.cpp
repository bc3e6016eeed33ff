#include "view/attribute_id_array.h"

namespace tessarin {

namespace {

// Writes `id` as entry `offset` of entries `width` bytes wide.
void Store(std::uint8_t* data, std::uint8_t width, std::uint64_t offset,
           std::uint32_t id) {
  switch (width) {
    case 1:
      data[offset] = static_cast<std::uint8_t>(id);
      break;
    case 2: {
      const auto narrow = static_cast<std::uint16_t>(id);
      std::memcpy(data + 2 * offset, &narrow, 2);
      break;
    }
    default:
      std::memcpy(data + 4 * offset, &id, 4);
      break;
  }
}

}  // namespace

void AttributeIdArray::Materialize(Block& block, std::uint8_t width) {
  if (!block.data) width = std::max(width, WidthOf(block.uniform));
  if (block.data && block.width >= width) return;
  auto data =
      std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize * width);
  for (std::uint64_t offset = 0; offset < kBlockSize; ++offset) {
    Store(data.get(), width, offset,
          block.data ? block.Get(offset) : block.uniform);
  }
  block.data = std::move(data);
  block.width = width;
}

void AttributeIdArray::Put(Block& block, std::uint64_t offset,
                           std::uint32_t id) {
  if (!block.data || WidthOf(id) > block.width) {
    Materialize(block, WidthOf(id));
  }
  Store(block.data.get(), block.width, offset, id);
}

void AttributeIdArray::Append(std::uint64_t count, std::uint32_t id) {
  while (count > 0) {
    const std::uint64_t offset = size_ & (kBlockSize - 1);
    if (offset == 0) blocks_.push_back(Block{nullptr, 0, id});
    Block& block = blocks_.back();
    const std::uint64_t step = std::min(count, kBlockSize - offset);
    if (block.data || block.uniform != id) {
      Materialize(block, WidthOf(id));
      for (std::uint64_t i = offset; i < offset + step; ++i) Put(block, i, id);
    }
    size_ += step;
    count -= step;
  }
}

std::uint64_t AttributeIdArray::RunEnd(std::uint64_t begin,
                                       std::uint64_t limit) const {
  limit = std::min(limit, size_);
  if (begin >= limit) return begin;
  const std::uint32_t id = Get(begin);
  std::uint64_t at = begin;
  while (at < limit) {
    const std::size_t index = static_cast<std::size_t>(at >> kBlockBits);
    const Block& block = blocks_[index];
    const std::uint64_t base = static_cast<std::uint64_t>(index) << kBlockBits;
    const std::uint64_t block_end = std::min(limit, base + kBlockSize);
    if (!block.data) {
      if (block.uniform != id) return at;
      at = block_end;
      continue;
    }
    if (block.width == 1) {
      // Eight one-byte ids are compared at a time.
      const std::uint64_t pattern = 0x0101010101010101ULL * id;
      const std::uint8_t* data = block.data.get();
      while (at + 8 <= block_end) {
        std::uint64_t word;
        std::memcpy(&word, data + (at - base), 8);
        if (word != pattern) break;
        at += 8;
      }
    }
    while (at < block_end && block.Get(at - base) == id) ++at;
    if (at < block_end) return at;
  }
  return limit;
}

void AttributeIdArray::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  size_ = 0;
}

std::uint64_t AttributeIdArray::EntryBytes() const {
  std::uint64_t bytes = 0;
  for (const Block& block : blocks_) {
    if (block.data) bytes += kBlockSize * block.width;
  }
  return bytes;
}

}  // namespace tessarin
