// The per-character attribute ids of a RichView, stored compactly.
#ifndef TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_
#define TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace tessarin {

// A growable array of 32-bit ids, kept in fixed blocks of kBlockSize
// entries. A block whose entries are all equal holds just that id (most of a
// view is plain text, and label tracks are never formatted); otherwise it
// holds 1, 2 or 4 bytes per entry, the narrowest width its ids fit. A block
// widens on its own the first time it is given a wider id, so widening costs
// O(kBlockSize), never O(size), and memory grows only where wide ids are
// used. Blocks never move, so appending never copies earlier entries.
class AttributeIdArray {
 public:
  static constexpr std::uint64_t kBlockBits = 14;
  static constexpr std::uint64_t kBlockSize = std::uint64_t{1} << kBlockBits;

  AttributeIdArray() = default;
  AttributeIdArray(const AttributeIdArray&) = delete;
  AttributeIdArray& operator=(const AttributeIdArray&) = delete;

  std::uint64_t size() const { return size_; }

  // Appends `count` copies of `id`. Cost O(count) at most; O(1) per block
  // while the block stays uniform.
  void Append(std::uint64_t count, std::uint32_t id);

  // Entry i; i must be below size().
  std::uint32_t Get(std::uint64_t i) const {
    const Block& block = blocks_[i >> kBlockBits];
    return block.Get(i & (kBlockSize - 1));
  }

  // Sets entry i (below size()) to id.
  void Set(std::uint64_t i, std::uint32_t id) {
    Transform(i, i + 1, [id](std::uint32_t) { return id; });
  }

  // Replaces each entry e in [begin, end) (cut to size()) by map(e). `map`
  // must give the same id for the same entry within one call. A uniform
  // block wholly inside the range is changed in O(1).
  template <typename Map>
  void Transform(std::uint64_t begin, std::uint64_t end, Map&& map);

  // What map gives the ids below 256, as far as known: kUnknownId where
  // it has not been asked yet.
  static constexpr std::uint32_t kUnknownId = 0xFFFFFFFF;
  using ByteIdTable = std::array<std::uint32_t, 256>;

  // Transform, with map's answers for ids below 256 kept in `table`. A
  // one-byte block whose ids all map below 256 is rewritten by look-up
  // alone, about twice as fast per entry: for long ranges.
  template <typename Map>
  void TransformByTable(std::uint64_t begin, std::uint64_t end,
                        ByteIdTable& table, Map&& map);

  // The end of the run of entries equal to entry `begin` (below size()),
  // looking no further than `limit` (at most size()). Uniform blocks are
  // skipped whole.
  std::uint64_t RunEnd(std::uint64_t begin, std::uint64_t limit) const;

  // Removes every entry and frees the blocks.
  void Clear();

  // Bytes held by the blocks' entries, for measurements.
  std::uint64_t EntryBytes() const;

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> data;  // null: every entry is `uniform`
    std::uint8_t width = 0;                // bytes per entry when data is set
    std::uint32_t uniform = 0;

    std::uint32_t Get(std::uint64_t offset) const {
      switch (width) {
        case 1:
          return data[offset];
        case 2: {
          std::uint16_t id;
          std::memcpy(&id, data.get() + 2 * offset, 2);
          return id;
        }
        case 4: {
          std::uint32_t id;
          std::memcpy(&id, data.get() + 4 * offset, 4);
          return id;
        }
        default:
          return uniform;
      }
    }
  };

  // The narrowest width that holds id.
  static std::uint8_t WidthOf(std::uint32_t id) {
    return id <= 0xFF ? 1 : id <= 0xFFFF ? 2 : 4;
  }
  // Gives the block its own entries (all its uniform id), wide enough for
  // that id and at least `width` bytes, or widens them to `width`.
  static void Materialize(Block& block, std::uint8_t width);
  static void Put(Block& block, std::uint64_t offset, std::uint32_t id);
  // Transform over offsets lo..hi of a block of `Entry` entries, up to the
  // first entry whose new id does not fit; returns that entry's offset, or
  // hi.
  template <typename Entry, typename Map>
  static std::uint64_t TransformAs(Block& block, std::uint64_t lo,
                                   std::uint64_t hi, Map& map);
  // How many entries of the block are in use.
  std::uint64_t UsedInBlock(std::size_t index) const {
    const std::uint64_t base = static_cast<std::uint64_t>(index) << kBlockBits;
    return std::min(kBlockSize, size_ - base);
  }

  std::vector<Block> blocks_;
  std::uint64_t size_ = 0;
};

template <typename Map>
void AttributeIdArray::Transform(std::uint64_t begin, std::uint64_t end,
                                 Map&& map) {
  end = std::min(end, size_);
  while (begin < end) {
    const std::size_t index = static_cast<std::size_t>(begin >> kBlockBits);
    Block& block = blocks_[index];
    const std::uint64_t lo = begin & (kBlockSize - 1);
    const std::uint64_t hi = std::min(UsedInBlock(index), lo + (end - begin));
    begin += hi - lo;
    if (!block.data) {
      const std::uint32_t changed = map(block.uniform);
      if (changed == block.uniform) continue;
      if (lo == 0 && hi == UsedInBlock(index)) {
        block.uniform = changed;
        continue;
      }
      Materialize(block, WidthOf(changed));
    }
    // Entries change in place while the new ids fit the block's width; an
    // id that does not widens the block, and the walk goes on.
    std::uint64_t offset = lo;
    while (offset < hi) {
      switch (block.width) {
        case 1:
          offset = TransformAs<std::uint8_t>(block, offset, hi, map);
          break;
        case 2:
          offset = TransformAs<std::uint16_t>(block, offset, hi, map);
          break;
        default:
          offset = TransformAs<std::uint32_t>(block, offset, hi, map);
          break;
      }
      if (offset < hi) {
        Put(block, offset, map(block.Get(offset)));
        ++offset;
      }
    }
  }
}

template <typename Map>
void AttributeIdArray::TransformByTable(std::uint64_t begin, std::uint64_t end,
                                        ByteIdTable& table, Map&& map) {
  auto by_table = [&](std::uint32_t id) {
    if (id >= table.size()) return map(id);
    std::uint32_t& known = table[id];
    if (known == kUnknownId) known = map(id);
    return known;
  };
  end = std::min(end, size_);
  while (begin < end) {
    const std::size_t index = static_cast<std::size_t>(begin >> kBlockBits);
    Block& block = blocks_[index];
    const std::uint64_t base = static_cast<std::uint64_t>(index) << kBlockBits;
    const std::uint64_t stop = std::min(end, base + UsedInBlock(index));
    if (block.data && block.width == 1) {
      // First every id's answer, with their union: all below 256 means the
      // block keeps its width, and the second pass only looks them up.
      std::uint8_t* const data = block.data.get();
      std::uint32_t all = 0;
      for (std::uint64_t at = begin - base; at < stop - base; ++at) {
        all |= by_table(data[at]);
      }
      if (all <= 0xFF) {
        for (std::uint64_t at = begin - base; at < stop - base; ++at) {
          data[at] = static_cast<std::uint8_t>(table[data[at]]);
        }
        begin = stop;
        continue;
      }
    }
    Transform(begin, stop, by_table);
    begin = stop;
  }
}

template <typename Entry, typename Map>
std::uint64_t AttributeIdArray::TransformAs(Block& block, std::uint64_t lo,
                                            std::uint64_t hi, Map& map) {
  std::uint8_t* const data = block.data.get();
  for (std::uint64_t offset = lo; offset < hi; ++offset) {
    Entry old_id;
    std::memcpy(&old_id, data + sizeof(Entry) * offset, sizeof(Entry));
    const std::uint32_t new_id = map(old_id);
    if (new_id == old_id) continue;
    if (new_id > std::numeric_limits<Entry>::max()) return offset;
    const auto entry = static_cast<Entry>(new_id);
    std::memcpy(data + sizeof(Entry) * offset, &entry, sizeof(Entry));
  }
  return hi;
}

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ATTRIBUTE_ID_ARRAY_H_
