// Readers on inputs built to exhaust memory or time. Each reading runs in a
// child process whose address space is limited to what it maps already plus
// a budget linear in the input, so holding more fails the test as out of
// memory; a reading slower than linear meets the CTest timeout of this
// program. (AddressSanitizer builds reserve huge address space up front and
// run without the limit.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "alignment/seq_set.h"
#include "sources/conservation_format.h"
#include "sources/conserved.h"
#include "sources/tf_format.h"
#include "sources/tf_set.h"
#include "support/child_process.h"
#include "tests/support/temp_folder_test.h"
#include "text/message_sink.h"
#include "view/rich_view.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
namespace cf = conservation_format;
namespace tf = tf_format;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

// What a reading may hold: three copies of its file (content, lines and a
// cleaned or joined copy), a string and a few field strings per line, and a
// constant.
std::uint64_t Budget(std::uint64_t bytes, std::uint64_t lines) {
  return 3 * bytes + 256 * lines + 64 * kMiB;
}

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Messages(const RecordingSink& sink) {
  std::string texts;
  for (const std::string& text : sink.texts) texts += text + ";";
  return texts;
}

class LimitsTest : public testing::TempFolderTest {
 protected:
  // Runs `read` in a child held to Budget(bytes, lines) and returns its
  // report.
  static std::string ReadLimited(std::uint64_t bytes, std::uint64_t lines,
                                 const std::function<std::string()>& read) {
    const harness::ChildOutcome outcome = harness::RunInChild([&] {
      if (harness::kAddressSpaceLimitsWork &&
          !harness::LimitAddressSpace(Budget(bytes, lines))) {
        return std::string("the limit could not be set");
      }
      return read();
    });
    EXPECT_TRUE(outcome.completed) << outcome.failure;
    return outcome.report;
  }
};

TEST_F(LimitsTest, SingleLineFastaOf300Megabytes) {
  constexpr std::size_t kChunk = 1000000;
  constexpr std::size_t kChunks = 300;
  const std::string path = (dir_ / "big.fas").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << ">big one\n";
    const std::string chunk = Repeat("ACgt-", kChunk / 5);
    for (std::size_t i = 0; i < kChunks; ++i) out << chunk;
  }
  const std::string report = ReadLimited(fs::file_size(path), 2, [&path] {
    TSeqSet alignment;
    alignment.ReadFasta(path);
    const TSeq& seq = alignment.Seqs.at(0);
    return std::to_string(alignment.Count()) + " " + seq.SeqName + " " +
           std::to_string(seq.Seq.size()) + " " + seq.Seq.substr(0, 10);
  });
  EXPECT_EQ(report, "1 big one 300000000 ACGT-ACGT-");
}

TEST_F(LimitsTest, PathologicalFilesReadWithinTheirBudget) {
  enum class Reader { kFasta, kTf, kConservation };
  const std::string tf_head = "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n";
  const std::string cons_head =
      "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
      "[[TABLE]]\n";
  std::string many_names = "A";
  for (int i = 1; i < 100000; ++i) many_names += ",A";
  const struct Row {
    std::string name;
    Reader reader;
    std::string content;
    std::string outcome;
  } rows[] = {
      {"CR-only line ends, four million lines", Reader::kFasta,
       ">s\r" + Repeat("A\r", 4000000), "1 sequence of 4000000"},
      {"nothing but line ends", Reader::kTf, std::string(8000000, '\n'),
       std::string(tf::kNoBlock) + ";"},
      {"a row of a million fields, then many short rows", Reader::kTf,
       tf_head + "h 1 a AC" + Repeat(" x", 1000000) + "\n" +
           Repeat("h 1 a AC\n", 200000) + "*\n",
       "200001 sites"},
      {"a row with a million blanks, then many short rows", Reader::kTf,
       tf_head + "h" + std::string(1000000, ' ') + "1 a AC\n" +
           Repeat("h 1 a AC\n", 200000) + "*\n",
       "200001 sites"},
      {"NSummaryStats = 2000000000", Reader::kConservation,
       "[SCORES]\nScoreNames = ML\nNSummaryStats = 2000000000\n[[STATS]]\n"
       "Thresh 0.5\n[[TABLE]]\n1 2 0.1\n*\n",
       std::string(cf::kBadStatsSection) + ";"},
      {"a statistics row of a million fields", Reader::kConservation,
       "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh" +
           Repeat(" 1", 1000000) + "\n[[TABLE]]\n1 2 0.1\n*\n",
       std::string(cf::kBadStatsSection) + ";"},
      {"a table row of a million fields, then many short rows",
       Reader::kConservation,
       cons_head + "1 2 0.1" + Repeat(" 9", 1000000) + "\n" +
           Repeat("1 2 0.1\n", 200000) + "*\n",
       "200001 windows"},
      // Filling each short row out to a value per score would hold names
      // times rows cells.
      {"many score names, then many short rows", Reader::kConservation,
       "[SCORES]\nScoreNames = " + many_names +
           "\nNSummaryStats = 0\n[[STATS]]\n[[TABLE]]\n" +
           Repeat("1 2 0.1\n", 200000) + "*\n",
       std::string(cf::kBadScoreColumns) + ";"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write("input", row.content);
    const auto lines = static_cast<std::uint64_t>(
        std::count(row.content.begin(), row.content.end(), '\n') +
        std::count(row.content.begin(), row.content.end(), '\r') + 1);
    const std::string report =
        ReadLimited(row.content.size(), lines, [&path, &row] {
          RecordingSink sink;
          if (row.reader == Reader::kFasta) {
            TSeqSet alignment;
            alignment.ReadFasta(path);
            return std::to_string(alignment.Count()) + " sequence of " +
                   std::to_string(alignment.MaxLength());
          }
          if (row.reader == Reader::kTf) {
            TaTFSet factors;
            ReadTFFile(path, factors, sink);
            if (!sink.texts.empty()) return Messages(sink);
            return std::to_string(factors.at(0).Positions.size()) + " sites";
          }
          TConserved data;
          ReadConservation(path, data, sink);
          if (!sink.texts.empty()) return Messages(sink);
          return std::to_string(data.WinStart.size()) + " windows";
        });
    EXPECT_EQ(report, row.outcome);
  }
}

TEST(AnnotationLimitsTest, ManyLabelsOverTheSameColumnsTakeLinearTime) {
  // Each label needs a track of its own; looking for room in every earlier
  // track would take minutes.
  constexpr std::size_t kSites = 300000;
  TSeqSet alignment;
  TSeq& seq = alignment.Seqs.emplace_back();
  seq.SeqName = "s";
  seq.Seq = seq.RawSeq = "ACGT";
  TTFSet factor;
  factor.MatchType = kMatchDirect;
  factor.SeqNames.assign(kSites, "s");
  factor.Positions.assign(kSites, 1);
  factor.Labels.assign(kSites, "L");
  factor.Sites.assign(kSites, "AC");
  RichView view;
  ADWord line_index;
  NullSink sink;
  AnnotateTFSites(&alignment, {factor}, view, alignment.GaplessTables(),
                  line_index, sink);
  ASSERT_EQ(view.LineCount(), kSites + 1);
  EXPECT_EQ(view.Line(kSites), "s> \tL...");
}

}  // namespace
}  // namespace tessarin
