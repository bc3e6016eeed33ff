// A file that begins with a UTF-8 byte-order mark reads, with every reader,
// as the same file without it. Only one mark is dropped: a second one stays
// the first bytes of the first line.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "alignment/seq_set.h"
#include "sources/conservation_format.h"
#include "sources/conserved.h"
#include "sources/tf_format.h"
#include "sources/tf_set.h"
#include "support/temp_folder_test.h"
#include "text/message_sink.h"

namespace tessarin {
namespace {

namespace cf = conservation_format;
namespace tf = tf_format;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

enum class Reader { kFasta, kTf, kConservation };

std::string Messages(const RecordingSink& sink) {
  std::string texts;
  for (const std::string& text : sink.texts) texts += text + "; ";
  return texts;
}

// What the reader made of the file at `path`, in short.
std::string Read(Reader reader, const std::string& path) {
  RecordingSink sink;
  std::string result;
  if (reader == Reader::kFasta) {
    TSeqSet alignment;
    alignment.ReadFasta(path);
    for (const TSeq& seq : alignment.Seqs) {
      result += seq.SeqName + "=" + seq.RawSeq + "/" + seq.Seq + ";";
    }
    return result;
  }
  if (reader == Reader::kTf) {
    TaTFSet factors;
    ReadTFFile(path, factors, sink);
    for (const TTFSet& factor : factors) {
      result += factor.Name + " " + std::to_string(factor.Color) + " " +
                std::to_string(factor.MatchType) + " " + factor.Comment + ":";
      for (std::size_t j = 0; j < factor.Positions.size(); ++j) {
        result += " " + factor.SeqNames.at(j) + "@" +
                  std::to_string(factor.Positions[j]) + "=" +
                  factor.Labels.at(j) + "/" +
                  (factor.MatchType == kMatchLength
                       ? std::to_string(factor.Lengths.at(j))
                       : factor.Sites.at(j));
      }
      result += ";";
    }
    return Messages(sink) + result;
  }
  TConserved data;
  ReadConservation(path, data, sink);
  for (const std::string& name : data.ScoreNames) result += name + ",";
  for (const long double cutoff : data.Cutoffs) {
    result += " " + std::to_string(static_cast<double>(cutoff));
  }
  for (std::size_t w = 0; w < data.WinStart.size(); ++w) {
    result += " " + std::to_string(data.WinStart[w]) + "-" +
              std::to_string(data.WinEnd.at(w));
    for (const AExt& score : data.Scores) {
      result += ":" + std::to_string(static_cast<double>(score.at(w)));
    }
  }
  return Messages(sink) + result;
}

class ByteOrderMarkTest : public testing::TempFolderTest {};

TEST_F(ByteOrderMarkTest, EveryReaderDropsOneLeadingMark) {
  const struct Row {
    const char* name;
    Reader reader;
    std::string content;
    std::string read;       // what the file reads as, with or without a mark
    std::string two_marks;  // what it reads as after two marks
  } rows[] = {
      {"FASTA file", Reader::kFasta, ">human\nACgt\n>mouse\nacgt\n",
       "human=ACgt/ACGT;mouse=acgt/ACGT;",
       // Text before the '>' of a header belongs to no sequence.
       "human=ACgt/ACGT;mouse=acgt/ACGT;"},
      {"FASTA file with a line before its first header", Reader::kFasta,
       "aligned\n>s\nAC\n", "s=AC/AC;", "s=AC/AC;"},
      {"TF file", Reader::kTf,
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n#c\nh 1 a AC\n*\n"
       "[TF]\nName = B\nMatchType = length\n[[TABLE]]\nm 2 b 3\n*\n",
       "A 16711680 0 #c: h@1=a/AC;B 65280 2 : m@2=b/3;",
       // The first block's header is no header: only the second is read.
       "B 16711680 2 : m@2=b/3;"},
      {"TF file of one block", Reader::kTf,
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*\n",
       "A 16711680 0 : h@1=a/AC;", std::string(tf::kNoBlock) + "; "},
      {"conservation file", Reader::kConservation,
       "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 1\n[[STATS]]\n"
       "Thresh 0.5 0.25\n[[TABLE]]\n1 10 N/A 0.125\n*\n",
       "ML,PI, 0.500000 0.250000 1-10:-1.000000:0.125000",
       std::string(cf::kNoBlock) + "; "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string bom(kBom);
    EXPECT_EQ(Read(row.reader, Write("plain", row.content)), row.read);
    EXPECT_EQ(Read(row.reader, Write("mark", bom + row.content)), row.read);
    EXPECT_EQ(Read(row.reader, Write("marks", bom + bom + row.content)),
              row.two_marks);
  }
}

}  // namespace
}  // namespace tessarin
