#include "alignment/seq_set.h"

#include <gtest/gtest.h>

#include <random>

#include "support/temp_folder_test.h"

namespace tessarin {
namespace {

TSeqSet ReadText(std::string_view content) {
  TSeqSet set;
  const std::uint32_t count =
      set.ReadFastaLines(LineText(std::string(content)));
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

bool SameSequences(const TSeqSet& a, const TSeqSet& b) {
  if (a.Count() != b.Count()) return false;
  for (std::size_t i = 0; i < a.Seqs.size(); ++i) {
    const TSeq& x = a.Seqs[i];
    const TSeq& y = b.Seqs[i];
    if (x.SeqName != y.SeqName || x.RawSeq != y.RawSeq || x.Seq != y.Seq) {
      return false;
    }
  }
  return true;
}

using ReadFastaFileTest = testing::TempFolderTest;

// The file reader walks the file's lines in place; it must give what
// reading the same lines from a line file gives, for every kind of line end.
TEST_F(ReadFastaFileTest, ReadsAFileAsItsLines) {
  std::string random_bytes(20000, '\0');
  std::mt19937 random(11);
  const char alphabet[] = ">\r\nacgt-~\x1a";
  for (char& c : random_bytes) {
    c = alphabet[random() % (sizeof alphabet - 1)];
  }
  std::string lone_crs;  // many short lines, no LF anywhere
  for (int i = 0; i < 200000; ++i) lone_crs += i % 3 == 0 ? ">s\r" : "ac\r";
  const std::string contents[] = {
      ">a\nAC\nGT\n>b\r\nacgt",
      ">a\rAC\r\rGT\r>b\racgt\r",
      "junk\n>a\nAC\x1a>b\nGT\n",
      ">one line only",
      "",
      random_bytes,
      lone_crs,
  };
  for (const std::string& content : contents) {
    TSeqSet from_file;
    const std::uint32_t count = from_file.ReadFasta(Write("a.fas", content));
    EXPECT_EQ(count, from_file.Count());
    EXPECT_TRUE(SameSequences(from_file, ReadText(content)))
        << content.substr(0, 40);
  }
}

}  // namespace
}  // namespace tessarin
