#include "sources/input_kind.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

TEST(RecogniseInputTest, TellsEachInputByItsContent) {
  struct Case {
    std::string_view head;
    std::optional<InputKind> kind;
  };
  const Case cases[] = {
      {"\n>human\nACGT\n", InputKind::kAlignment},
      {"CLUSTAL W (1.83)\n\nhuman ACGT\n", InputKind::kAlignment},
      {"# STOCKHOLM 1.0\nhuman ACGT\n//\n", InputKind::kAlignment},
      {"Sites of the sample\n\n[TF]\nName = AP1\n", InputKind::kTf},
      {"Scores\r\n[SCORES]\r\nScoreNames = ML\r\n", InputKind::kConservation},
      {"##gff-version 3\n", InputKind::kSites},
      {"chr1\t10\t20\tAP1\t0\t+\n", InputKind::kSites},
      // Told by content only: a FIMO name is no FIMO file, and a '>'
      // further down is no FASTA header.
      {"neither\n", std::nullopt},
      {"notes\n>human\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecogniseInput(c.head), c.kind) << c.head;
  }
}

}  // namespace
}  // namespace tessarin
