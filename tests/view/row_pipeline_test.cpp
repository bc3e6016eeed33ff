#include "view/row_pipeline.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tessarin {
namespace {

// Each row's marks reach the second stage as the first stage made them, and
// both stages see the rows in order.
TEST(RowPipelineTest, HandsEachRowsMarksOnInOrder) {
  for (const std::size_t rows : {0, 1, 2, 7, 300}) {
    RowPipeline<std::vector<std::size_t>> pipeline(rows);
    std::vector<std::size_t> made, taken;
    pipeline.Run(
        [&](std::size_t i, std::vector<std::size_t>& marks) {
          made.push_back(i);
          marks.assign(i % 5, i);
        },
        [&](std::size_t i, std::vector<std::size_t>& marks) {
          EXPECT_EQ(marks, std::vector<std::size_t>(i % 5, i));
          taken.push_back(i);
        });
    std::vector<std::size_t> all(rows);
    for (std::size_t i = 0; i < rows; ++i) all[i] = i;
    EXPECT_EQ(made, all);
    EXPECT_EQ(taken, all);
  }
}

// An exception of either stage, at the first row, inside or at the last,
// comes out of Run.
TEST(RowPipelineTest, EitherStagesExceptionEndsBoth) {
  constexpr std::size_t kRows = 50;
  for (const bool in_first : {true, false}) {
    for (const std::size_t failing :
         {std::size_t{0}, std::size_t{20}, kRows - 1}) {
      RowPipeline<int> pipeline(kRows);
      const auto stage = [&](bool first) {
        return [&, first](std::size_t i, int&) {
          if (first == in_first && i == failing)
            throw std::runtime_error("row");
        };
      };
      EXPECT_THROW(pipeline.Run(stage(true), stage(false)), std::runtime_error)
          << in_first << " " << failing;
    }
  }
}

}  // namespace
}  // namespace tessarin
