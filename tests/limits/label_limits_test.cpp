// Placing labels takes near-linear time whatever the pattern of the sites:
// the test runs in a child with a processor-time limit that searching the
// tracks one by one for every label would exceed many times over.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "alignment/seq_set.h"
#include "sources/reading_in.h"
#include "sources/tf_set.h"
#include "support/child_process.h"
#include "text/message_sink.h"
#include "view/annotated_view.h"
#include "view/rich_view.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

TEST(LabelLimitsTest, OverlappingLabelsInAnyPatternTakeNearLinearTime) {
  // Row "p": labels of 3 to 12 letters at columns 1 to 9 of a 9-column row,
  // most running past its end. Row "c": five labels repeated that leave in
  // every track a hole no later label fits.
  constexpr std::size_t kSites = 400000;
  const harness::ChildOutcome outcome = harness::RunInChild([] {
    if (!harness::LimitCpuTime(30)) return std::string("no limit");
    TSeqSet alignment;
    for (const char* name : {"p", "c"}) {
      TSeq& seq = alignment.Seqs.emplace_back();
      seq.SeqName = name;
      seq.Seq = seq.RawSeq = "ACGTACGTA";
    }
    TTFSet factor;
    factor.MatchType = kMatchLength;
    std::uint32_t state = 1;
    const std::pair<std::uint32_t, std::size_t> pattern[] = {
        {1, 1}, {1, 2}, {4, 2}, {5, 1}, {2, 3}};
    for (std::size_t i = 0; i < kSites; ++i) {
      state = state * 1664525 + 1013904223;  // a fixed pseudo-random series
      factor.SeqNames.push_back("p");
      factor.Positions.push_back(1 + (state >> 8) % 9);
      factor.Labels.push_back(std::string(3 + (state >> 16) % 10, 'P'));
      factor.Lengths.push_back(1);
      const auto [column, length] = pattern[i % 5];
      factor.SeqNames.push_back("c");
      factor.Positions.push_back(column);
      factor.Labels.push_back(std::string(length, 'C'));
      factor.Lengths.push_back(1);
    }
    ReadInData data;
    data.alignment = std::make_unique<TSeqSet>(alignment);
    data.gapless_tables = alignment.GaplessTables();
    data.factors = {factor};
    AnnotatedView out;
    NullSink sink;
    AnnotateTFSites(data, out, sink);
    return std::to_string(out.view.LineCount() - out.line_index[1]);
  });
  ASSERT_TRUE(outcome.completed) << outcome.failure;
  EXPECT_EQ(outcome.report, std::to_string(2 * kSites / 5 + 2));
}

}  // namespace
}  // namespace tessarin
