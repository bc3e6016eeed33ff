// The per-character attribute ids of a RichView, stored compactly.
#ifndef TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_
#define TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_

#include <cstdint>
#include <memory>
#include <vector>

namespace tessarin {

// A growable array of 32-bit ids that costs 2 bytes per entry while the ids
// fit in 16 bits. Entries live in fixed blocks of kBlockSize; a block widens
// to 4 bytes per entry on its own the first time it is given an id above
// 0xFFFF, so widening costs O(kBlockSize), never O(size), and memory grows
// only where wide ids are used. Blocks never move, so appending never copies
// earlier entries (no reallocation peak).
class AttributeIdArray {
 public:
  static constexpr std::uint64_t kBlockBits = 14;
  static constexpr std::uint64_t kBlockSize = std::uint64_t{1} << kBlockBits;

  std::uint64_t size() const { return size_; }

  // Appends `count` copies of `id`. Cost O(count).
  void Append(std::uint64_t count, std::uint32_t id);

  // Entry i; i must be below size().
  std::uint32_t Get(std::uint64_t i) const {
    const Block& block = blocks_[i >> kBlockBits];
    const std::uint64_t offset = i & (kBlockSize - 1);
    return block.wide ? block.wide[offset] : block.narrow[offset];
  }

  // Sets entry i (below size()) to id, widening its block when needed.
  void Set(std::uint64_t i, std::uint32_t id);

  // Removes every entry and frees the blocks.
  void Clear();

 private:
  // Exactly one of the two arrays is allocated.
  struct Block {
    std::unique_ptr<std::uint16_t[]> narrow;
    std::unique_ptr<std::uint32_t[]> wide;
  };

  static void Widen(Block& block);

  std::vector<Block> blocks_;
  std::uint64_t size_ = 0;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_
