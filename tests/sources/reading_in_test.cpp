#include "sources/reading_in.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "sources/conservation_format.h"
#include "sources/tf_format.h"
#include "text/strings.h"

namespace tessarin {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// A folder of its own per test, removed afterwards.
class ReadInFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("tessarin_reading_in_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, std::string_view content) {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path.string();
  }

  std::string Missing() const { return (dir_ / "missing").string(); }

  fs::path dir_;
  ReadInData data_;
  std::unique_ptr<TSeqSet>& alignment_ = data_.alignment;
  TaTFSet& factors_ = data_.factors;
  TConserved& conserved_ = data_.conservation;
  RecordingSink sink_;
};

constexpr std::string_view kTF =
    "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nhuman 2 a CGT\n*\n";
constexpr std::string_view kCons =
    "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
    "[[TABLE]]\n1 12 0.25\n*\n";

TEST_F(ReadInFilesTest, ReadsAlignmentFactorsAndScores) {
  const bool passed = ReadInFiles(
      Write("a.fas", ">human\nAC-GTACGTA~T\n>mouse\nACCGTACG\nTACG\n"),
      Write("a.tf", kTF), Write("a.cons", kCons), data_, sink_);
  EXPECT_TRUE(passed);
  EXPECT_TRUE(sink_.texts.empty());
  ASSERT_EQ(alignment_->Count(), 2u);
  EXPECT_EQ(alignment_->Seqs[1].Seq, "ACCGTACGTACG");
  ASSERT_EQ(factors_.size(), 1u);
  EXPECT_EQ(factors_[0].Sites, AString{"CGT"});
  EXPECT_EQ(conserved_.Cutoffs, AExt{0.5L});
}

TEST_F(ReadInFilesTest, UnequalLengthsStopBeforeOtherFiles) {
  const std::string tf = Write("a.tf", kTF);
  const std::string cons = Write("a.cons", kCons);
  ASSERT_TRUE(ReadInFiles(
      Write("a.fas", ">human\nACGTACGTACGT\n>mouse\nACGTACGTACGT\n"), tf, cons,
      data_, sink_));
  EXPECT_TRUE(data_.alignment_checked);

  // The second file's mouse row has 11 columns; its TF and conservation
  // files would change the factors and scores if they were read.
  const bool passed = ReadInFiles(
      Write("b.fas", ">human\nAC-GTACGTACG\n>mouse\nACGTACGTACG\n>dog\nA\n"),
      Write("b.tf", "nothing"), Write("b.cons", "nothing"), data_, sink_);
  EXPECT_FALSE(passed);
  EXPECT_FALSE(data_.alignment_checked);
  EXPECT_EQ(sink_.texts, Texts{std::string(kNoProperAlignment)});
  // The new alignment stays, with every sequence read.
  ASSERT_EQ(alignment_->Count(), 3u);
  EXPECT_EQ(alignment_->Seqs[0].Seq, "AC-GTACGTACG");
  ASSERT_EQ(factors_.size(), 1u);
  EXPECT_EQ(factors_[0].Name, "A");
  EXPECT_EQ(conserved_.WinEnd, ADWord{12});
}

TEST_F(ReadInFilesTest, UnreadableAlignmentIsEmptyAndOtherFilesAreRead) {
  alignment_ = std::make_unique<TSeqSet>();
  alignment_->Seqs.resize(4);
  const bool passed = ReadInFiles(Missing(), Write("a.tf", kTF),
                                  Write("a.cons", kCons), data_, sink_);
  EXPECT_TRUE(passed);
  EXPECT_TRUE(sink_.texts.empty());
  ASSERT_NE(alignment_, nullptr);
  EXPECT_EQ(alignment_->Count(), 0u);
  EXPECT_EQ(factors_.size(), 1u);
  EXPECT_EQ(conserved_.NScores, 1);
}

TEST_F(ReadInFilesTest, FailedTFFileDoesNotKeepScoresFromBeingRead) {
  ReadInFiles(Write("a.fas", ">human\nACGT\n"), Missing(),
              Write("a.cons", kCons), data_, sink_);
  EXPECT_EQ(sink_.texts, Texts{std::string(tf_format::kNoBlock)});
  EXPECT_EQ(conserved_.Cutoffs, AExt{0.5L});

  sink_.texts.clear();
  ReadInFiles(Write("a.fas", ">human\nACGT\n"), Missing(), Missing(), data_,
              sink_);
  EXPECT_EQ(sink_.texts, (Texts{std::string(tf_format::kNoBlock),
                                std::string(conservation_format::kNoBlock)}));
}

// The TF and conservation files are read beside the alignment, yet a read
// error of the TF file arrives as if it were read in turn: thrown after the
// alignment, with the conservation file left unread and its data as it was.
TEST_F(ReadInFilesTest, TFReadErrorEndsTheReadingInWhereTheFileIsDue) {
  ASSERT_TRUE(ReadInFiles(Write("a.fas", ">human\nACGT\n"), Write("a.tf", kTF),
                          Write("a.cons", kCons), data_, sink_));
  const TConserved before = conserved_;
  const std::string no_block = Write("b.cons", "nothing");
  // Opened, but its first read fails.
  EXPECT_THROW(ReadInFiles(Write("b.fas", ">dog\nAC\n"), "/proc/self/mem",
                           no_block, data_, sink_),
               std::system_error);
  EXPECT_EQ(alignment_->Seqs.at(0).SeqName, "dog");
  EXPECT_TRUE(data_.alignment_checked);
  EXPECT_EQ(conserved_.WinEnd, before.WinEnd);
  EXPECT_EQ(sink_.texts, Texts{});
}

// The bundled sample must read cleanly and stay meaningful: every site lies
// on letters of its sequence, most of them equal to the site's letters.
TEST_F(ReadInFilesTest, BundledExampleReadsWithoutMessage) {
  const std::string examples = TESSARIN_EXAMPLES;
  const bool passed =
      ReadInFiles(examples + "/promoter.fas", examples + "/promoter.tf",
                  examples + "/promoter.cons", data_, sink_);
  EXPECT_TRUE(passed);
  EXPECT_EQ(sink_.texts, Texts{});
  ASSERT_EQ(alignment_->Count(), 6u);
  ASSERT_EQ(factors_.size(), 4u);
  EXPECT_EQ(factors_[0].MatchType, kMatchDirect);
  EXPECT_EQ(factors_[1].MatchType, kMatchCaseSensitive);
  EXPECT_EQ(factors_[3].MatchType, kMatchLength);
  EXPECT_EQ(conserved_.NScores, 3);
  EXPECT_EQ(conserved_.Cutoffs.size(), 3u);
  ASSERT_FALSE(conserved_.Scores.empty());
  EXPECT_NE(std::count(conserved_.Scores[0].begin(), conserved_.Scores[0].end(),
                       -1.0L),
            0);
  for (std::size_t w = 0; w < conserved_.WinEnd.size(); ++w) {
    EXPECT_LE(conserved_.WinEnd[w], alignment_->MaxLength());
  }

  std::size_t matches = 0;
  std::size_t mismatches = 0;
  for (const TTFSet& factor : factors_) {
    for (std::size_t j = 0; j < factor.SeqNames.size(); ++j) {
      const auto seq = std::find_if(
          alignment_->Seqs.begin(), alignment_->Seqs.end(),
          [&](const TSeq& s) { return s.SeqName == factor.SeqNames[j]; });
      ASSERT_NE(seq, alignment_->Seqs.end()) << factor.SeqNames[j];
      const std::string residues = seq->GaplessSeq();
      const std::size_t start = factor.Positions[j] - 1;
      if (factor.MatchType == kMatchLength) {
        EXPECT_LE(start + factor.Lengths[j], residues.size());
        continue;
      }
      const std::string site = UpperAscii(factor.Sites[j]);
      ASSERT_LE(start + site.size(), residues.size());
      for (std::size_t k = 0; k < site.size(); ++k) {
        (site[k] == residues[start + k] ? matches : mismatches) += 1;
      }
    }
  }
  EXPECT_GT(mismatches, 0u);
  EXPECT_GT(matches, 20 * mismatches);
}

}  // namespace
}  // namespace tessarin
