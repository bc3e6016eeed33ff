#include "alignment/seq_set.h"

#include <gtest/gtest.h>

#include <random>

namespace tessarin {
namespace {

TSeqSet ReadText(std::string_view content) {
  Ttf file;
  file.LoadFromText(content);
  TSeqSet set;
  const std::uint32_t count = set.ReadFastaLines(file);
  EXPECT_EQ(count, set.Count());
  return set;
}

TEST(ReadFastaTest, ReadsNamesAndJoinedTexts) {
  const TSeqSet set = ReadText(
      "alignment of two sequences\n>human\nACGT-ACG\nTTA~\n>mouse chr2\n"
      "acgtTACG\n\nTTAA\n");
  ASSERT_EQ(set.Count(), 2u);
  EXPECT_EQ(set.Seqs[0].SeqName, "human");
  EXPECT_EQ(set.Seqs[0].RawSeq, "ACGT-ACGTTA~");
  EXPECT_EQ(set.Seqs[1].SeqName, "mouse chr2");
  EXPECT_EQ(set.Seqs[1].RawSeq, "acgtTACGTTAA");
  EXPECT_EQ(set.Seqs[1].Seq, "ACGTTACGTTAA");
  EXPECT_EQ(set.MaxLength(), 12u);
}

TEST(ReadFastaTest, HeaderLineRules) {
  const TSeqSet set = ReadText("> seq1\nAC\nACGT>seq2\nGG\n>a>b\n>last");
  ASSERT_EQ(set.Count(), 4u);
  EXPECT_EQ(set.Seqs[0].SeqName, " seq1");
  EXPECT_EQ(set.Seqs[0].Seq, "AC");
  EXPECT_EQ(set.Seqs[1].SeqName, "seq2");
  EXPECT_EQ(set.Seqs[1].Seq, "GG");
  EXPECT_EQ(set.Seqs[2].SeqName, "a>b");
  EXPECT_EQ(set.Seqs[2].Seq, "");
  EXPECT_EQ(set.Seqs[3].SeqName, "last");
  EXPECT_EQ(set.Seqs[3].Seq, "");
}

TEST(ReadFastaTest, BlankLinesAndHighBytesAreResidues) {
  const TSeqSet set = ReadText(">x\nac\n  \n\xe9g-t\n");
  ASSERT_EQ(set.Count(), 1u);
  EXPECT_EQ(set.Seqs[0].RawSeq, "ac  \xe9g-t");
  EXPECT_EQ(set.Seqs[0].Seq, "AC  \xe9G-T");
}

TEST(ReadFastaTest, NoHeaderGivesEmptySet) {
  const TSeqSet set = ReadText("ACGT\nACGT\n");
  EXPECT_EQ(set.Count(), 0u);
  EXPECT_EQ(set.MaxLength(), 0u);
  EXPECT_TRUE(set.GaplessTables().empty());
  TSeqSet missing;
  EXPECT_EQ(missing.ReadFasta("/nonexistent/file.fas"), 0u);
}

TEST(ReadFastaTest, SurvivesRandomBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    std::string content(4096, '\0');
    for (char& c : content) c = static_cast<char>(random());
    const TSeqSet set = ReadText(content);
    const AADWord tables = set.GaplessTables();
    ASSERT_EQ(tables.size(), set.Count());
    for (std::size_t i = 0; i < tables.size(); ++i) {
      EXPECT_EQ(tables[i].size(), set.Seqs[i].Seq.size());
    }
  }
}

TEST(ReadFastaTest, ManySequencesWithTheSameNameReadInLinearTime) {
  std::string content;
  for (int i = 0; i < 200000; ++i) content += ">same\nACGT\n";
  const TSeqSet set = ReadText(content);
  EXPECT_EQ(set.Count(), 200000u);
  EXPECT_EQ(set.Seqs.back().Seq, "ACGT");
}

}  // namespace
}  // namespace tessarin
