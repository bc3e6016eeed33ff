#include "view/attribute_id_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace tessarin {
namespace {

constexpr std::uint64_t kBlock = AttributeIdArray::kBlockSize;

// Checks every entry and the run ends against a plain vector.
void ExpectSame(const AttributeIdArray& ids,
                const std::vector<std::uint32_t>& model) {
  ASSERT_EQ(ids.size(), model.size());
  for (std::uint64_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(ids.Get(i), model[i]) << "entry " << i;
  }
  for (std::uint64_t i = 0; i < model.size();) {
    std::uint64_t end = i + 1;
    while (end < model.size() && model[end] == model[i]) ++end;
    ASSERT_EQ(ids.RunEnd(i, model.size()), end) << "run from " << i;
    i = end;
  }
}

// Random appends, single sets and range changes (plain and by table) with
// ids of every width, over ranges that start, end and lie inside blocks or
// cover them whole.
TEST(AttributeIdArrayTest, BehavesAsAPlainArray) {
  std::mt19937_64 random(5);
  const std::uint32_t widths[] = {0xF, 0xFF, 0xFFFF, 0xFFFFFFFF};
  auto some_id = [&] {
    return static_cast<std::uint32_t>(
        random() % (std::uint64_t{widths[random() % 4]} + 1));
  };
  for (int round = 0; round < 20; ++round) {
    AttributeIdArray ids;
    std::vector<std::uint32_t> model;
    for (int step = 0; step < 40; ++step) {
      const int action = static_cast<int>(random() % 4);
      if (action == 0 || model.empty()) {
        const std::uint64_t count = random() % (2 * kBlock);
        const std::uint32_t id = random() % 3 == 0 ? some_id() : 0;
        ids.Append(count, id);
        model.insert(model.end(), count, id);
      } else if (action == 1) {
        const std::uint64_t i = random() % model.size();
        const std::uint32_t id = some_id();
        ids.Set(i, id);
        model[i] = id;
      } else {
        const std::uint64_t begin = random() % model.size();
        const std::uint64_t end = begin + random() % (3 * kBlock);
        const std::uint32_t add = some_id();
        auto map = [add](std::uint32_t id) { return id == 0 ? add : id ^ 1; };
        if (action == 2) {
          ids.Transform(begin, end, map);
        } else {
          // Narrow blocks whose ids stay narrow take the look-up path; an
          // id that maps wide sends its block down the general one.
          AttributeIdArray::ByteIdTable table;
          table.fill(AttributeIdArray::kUnknownId);
          ids.TransformByTable(begin, end, table, map);
        }
        for (std::uint64_t i = begin;
             i < std::min<std::uint64_t>(end, model.size()); ++i) {
          model[i] = map(model[i]);
        }
      }
    }
    ExpectSame(ids, model);
  }
}

TEST(AttributeIdArrayTest, UniformBlocksHoldNoEntries) {
  AttributeIdArray ids;
  ids.Append(10 * kBlock + 7, 0);
  EXPECT_EQ(ids.EntryBytes(), 0u);
  // A change covering whole blocks keeps them uniform.
  ids.Transform(kBlock, 3 * kBlock, [](std::uint32_t) { return 300u; });
  EXPECT_EQ(ids.EntryBytes(), 0u);
  EXPECT_EQ(ids.RunEnd(0, ids.size()), kBlock);
  EXPECT_EQ(ids.RunEnd(kBlock, ids.size()), 3 * kBlock);
  // One entry of a narrow id costs its block one byte per entry; a wide one
  // widens that block only.
  ids.Set(5 * kBlock + 1, 7);
  EXPECT_EQ(ids.EntryBytes(), kBlock);
  ids.Set(5 * kBlock + 2, 70000);
  EXPECT_EQ(ids.EntryBytes(), 4 * kBlock);
  EXPECT_EQ(ids.Get(5 * kBlock + 1), 7u);
  EXPECT_EQ(ids.Get(5 * kBlock + 2), 70000u);
  EXPECT_EQ(ids.Get(5 * kBlock + 3), 0u);
  // The partial last block grows without losing its uniform id.
  ids.Transform(10 * kBlock, ids.size(), [](std::uint32_t) { return 9u; });
  ids.Append(3, 0);
  EXPECT_EQ(ids.Get(10 * kBlock + 6), 9u);
  EXPECT_EQ(ids.Get(10 * kBlock + 7), 0u);
  EXPECT_EQ(ids.RunEnd(10 * kBlock, ids.size()), 10 * kBlock + 7);
}

}  // namespace
}  // namespace tessarin
