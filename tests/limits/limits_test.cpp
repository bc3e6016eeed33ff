// Readers on inputs built to exhaust memory or time. Each reading runs in a
// child process whose address space is limited to what it maps already plus
// a budget linear in the input, so holding more fails the test as out of
// memory; a reading slower than linear meets the CTest timeout of this
// program. (AddressSanitizer builds reserve huge address space up front and
// run without the limit.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "alignment/seq_set.h"
#include "sources/conservation_format.h"
#include "sources/conserved.h"
#include "sources/reading_in.h"
#include "sources/site_import.h"
#include "sources/tf_format.h"
#include "sources/tf_set.h"
#include "support/child_process.h"
#include "tests/support/temp_folder_test.h"
#include "text/message_sink.h"
#include "view/annotated_view.h"
#include "view/rich_view.h"
#include "view/tf_annotation.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
namespace cf = conservation_format;
namespace tf = tf_format;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

// The memory target of every reader: what it stores, plus this many times
// its file (the file's content while it is read, and room to spare), plus a
// constant for the allocator and the runtime.
constexpr std::uint64_t kFileCopies = 4;
constexpr std::uint64_t kConstant = 16 * kMiB;

// What the allocator adds to every block it hands out, at most.
constexpr std::uint64_t kBlockOverhead = 16;

// The bytes a text takes beyond its string object: nothing while it fits in
// the object itself, else its bytes, a NUL and the block's overhead.
std::uint64_t HeapBytes(const std::string& text) {
  return text.size() <= std::string().capacity()
             ? 0
             : text.size() + 1 + kBlockOverhead;
}

template <typename T>
std::uint64_t ArrayBytes(const std::vector<T>& values) {
  return values.size() * sizeof(T) + kBlockOverhead;
}

std::uint64_t TextsBytes(const AString& texts) {
  std::uint64_t bytes = ArrayBytes(texts);
  for (const std::string& text : texts) bytes += HeapBytes(text);
  return bytes;
}

std::uint64_t TablesBytes(const AAExt& tables) {
  std::uint64_t bytes = ArrayBytes(tables);
  for (const AExt& table : tables) bytes += ArrayBytes(table);
  return bytes;
}

// The bytes the values that a reader stored take, each array and text at
// the length it has.
std::uint64_t StoredBytes(const TSeqSet& alignment) {
  std::uint64_t bytes = ArrayBytes(alignment.Seqs);
  for (const TSeq& seq : alignment.Seqs) {
    for (const std::string* text :
         {&seq.Seq, &seq.RawSeq, &seq.SeqName, &seq.Gap1, &seq.Gap2}) {
      bytes += HeapBytes(*text);
    }
  }
  return bytes;
}

std::uint64_t StoredBytes(const TaTFSet& factors) {
  std::uint64_t bytes = ArrayBytes(factors);
  for (const TTFSet& factor : factors) {
    bytes += HeapBytes(factor.Name) + HeapBytes(factor.Comment) +
             TextsBytes(factor.SeqNames) + ArrayBytes(factor.Positions) +
             TextsBytes(factor.Labels) + TextsBytes(factor.Sites) +
             ArrayBytes(factor.Lengths);
  }
  return bytes;
}

std::uint64_t StoredBytes(const TConserved& data) {
  return TextsBytes(data.ScoreNames) + ArrayBytes(data.Cutoffs) +
         TablesBytes(data.Scores) + TextsBytes(data.StatNames) +
         TablesBytes(data.Stats) + ArrayBytes(data.WinStart) +
         ArrayBytes(data.WinEnd);
}

std::uint64_t StoredBytes(const TSiteDetails& details) {
  std::uint64_t bytes = ArrayBytes(details);
  for (const std::vector<TSiteDetail>& sites : details) {
    bytes += ArrayBytes(sites);
  }
  return bytes;
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

enum class Reader { kFasta, kTf, kConservation, kSites };

struct Reading {
  std::string outcome;  // the messages, or else what was read, in short
  std::uint64_t stored = 0;
};

Reading Read(Reader reader, const std::string& path) {
  RecordingSink sink;
  if (reader == Reader::kFasta) {
    TSeqSet alignment;
    alignment.ReadFasta(path);
    return {std::to_string(alignment.Count()) + " sequences, longest " +
                std::to_string(alignment.MaxLength()),
            StoredBytes(alignment)};
  }
  if (reader == Reader::kTf) {
    TaTFSet factors;
    ReadTFFile(path, factors, sink);
    if (!sink.texts.empty()) return {Messages(sink), StoredBytes(factors)};
    return {std::to_string(factors.at(0).Positions.size()) + " sites",
            StoredBytes(factors)};
  }
  if (reader == Reader::kSites) {
    TSeqSet alignment;
    alignment.Seqs.emplace_back().SeqName = "h";
    alignment.Seqs[0].Seq = alignment.Seqs[0].RawSeq = "ACGTACGTAC";
    TaTFSet factors;
    TSiteDetails details;
    const std::size_t sites =
        ImportSiteFile(path, alignment, {}, factors, details, sink);
    return {std::to_string(sites) + " sites, " +
                std::to_string(sink.texts.size()) + " messages",
            StoredBytes(factors) + StoredBytes(details)};
  }
  TConserved data;
  ReadConservation(path, data, sink);
  if (!sink.texts.empty()) return {Messages(sink), StoredBytes(data)};
  return {std::to_string(data.WinStart.size()) + " windows", StoredBytes(data)};
}

class LimitsTest : public testing::TempFolderTest {
 protected:
  // Reads `path` with `reader` in a child held to the memory target: the
  // values the reading stores (learnt from a first reading in a child of
  // its own) plus kFileCopies times the file plus kConstant. Returns the
  // outcome of the reading under the limit.
  static std::string ReadWithinTarget(Reader reader, const std::string& path) {
    const harness::ChildOutcome measured = harness::RunInChild(
        [&] { return std::to_string(Read(reader, path).stored); });
    EXPECT_TRUE(measured.completed) << measured.failure;
    if (!measured.completed) return "";
    const std::uint64_t stored = std::stoull(measured.report);
    const std::uint64_t budget =
        stored + kFileCopies * fs::file_size(path) + kConstant;
    const harness::ChildOutcome outcome = harness::RunInChild([&] {
      if (harness::kAddressSpaceLimitsWork &&
          !harness::LimitAddressSpace(budget)) {
        return std::string("the limit could not be set");
      }
      return Read(reader, path).outcome;
    });
    EXPECT_TRUE(outcome.completed)
        << outcome.failure << " within " << budget / kMiB << " MiB ("
        << stored / kMiB << " MiB stored, a file of "
        << fs::file_size(path) / kMiB << " MiB)";
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
  // The sequence's two texts: the file goes before the second is made.
  const std::uint64_t budget = 2 * fs::file_size(path) + 64 * kMiB;
  const harness::ChildOutcome outcome = harness::RunInChild([&] {
    if (harness::kAddressSpaceLimitsWork &&
        !harness::LimitAddressSpace(budget)) {
      return std::string("the limit could not be set");
    }
    TSeqSet alignment;
    alignment.ReadFasta(path);
    const TSeq& seq = alignment.Seqs.at(0);
    return std::to_string(alignment.Count()) + " " + seq.SeqName + " " +
           std::to_string(seq.Seq.size()) + " " + seq.Seq.substr(0, 10);
  });
  EXPECT_TRUE(outcome.completed) << outcome.failure;
  EXPECT_EQ(outcome.report, "1 big one 300000000 ACGT-ACGT-");
}

TEST_F(LimitsTest, ReadersHoldTheirValuesAndFourTimesTheirFile) {
  const std::string tf_head = "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n";
  const std::string cons_head =
      "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
      "[[TABLE]]\n";
  // Sixteen scores, their cut-offs and one full row; the other rows give a
  // window and one value, which fills all sixteen.
  std::string scores = "S0";
  for (int i = 1; i < 16; ++i) scores += ",S" + std::to_string(i);
  const std::string wide_head = "[SCORES]\nScoreNames = " + scores +
                                "\nNSummaryStats = 1\n[[STATS]]\nThresh" +
                                Repeat(" 0.5", 16) + "\n[[TABLE]]\n1 2" +
                                Repeat(" 0", 16) + "\n";
  std::string many_names = "A";
  for (int i = 1; i < 100000; ++i) many_names += ",A";
  const struct Row {
    std::string name;
    Reader reader;
    std::string content;
    std::string outcome;
  } rows[] = {
      // Files that store much per byte.
      {"a conservation table of short rows", Reader::kConservation,
       wide_head + Repeat("1 2 0\n", 700000) + "*\n", "700001 windows"},
      {"a TF table of short rows", Reader::kTf,
       tf_head + Repeat("h 1 a AC\n", 1800000) + "*\n", "1800000 sites"},
      {"a FASTA file of one-residue records", Reader::kFasta,
       Repeat(">s\nA\n", 800000), "800000 sequences, longest 1"},
      {"one sequence of 50 million columns", Reader::kFasta,
       ">s\n" + Repeat("ACGT-", 10000000) + "\n",
       "1 sequences, longest 50000000"},
      {"CR-only line ends, four million lines", Reader::kFasta,
       ">s\r" + Repeat("A\r", 4000000), "1 sequences, longest 4000000"},
      // Files that store nothing.
      {"nothing but line ends, FASTA", Reader::kFasta,
       std::string(8000000, '\n'), "0 sequences, longest 0"},
      {"nothing but line ends, TF", Reader::kTf, std::string(8000000, '\n'),
       std::string(tf::kNoBlock) + ";"},
      {"nothing but line ends, conservation", Reader::kConservation,
       std::string(8000000, '\n'), std::string(cf::kNoBlock) + ";"},
      // Rows whose width would cost far more than their bytes.
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
      {"short FIMO hits", Reader::kSites,
       "motif_id\tsequence_name\tstart\tstop\n" +
           Repeat("A\th\t1\t2\n", 1000000),
       "1000000 sites, 0 messages"},
      {"a FIMO header and hits of a million tabs", Reader::kSites,
       "motif_id\tsequence_name\tstart\tstop" + std::string(1000000, '\t') +
           "\n" + Repeat("A\th\t1\t2" + std::string(1000000, '\t') + "\n", 4),
       "4 sites, 0 messages"},
      {"BED and GFF3 lines of a million tabs", Reader::kSites,
       Repeat("h\t0\t2\tA\t0\t+" + std::string(1000000, '\t') + "\n", 4) +
           "h\tx\tt\t1\t2\t.\t+\t.\tID=a" + std::string(1000000, '\t') + "\n",
       "4 sites, 1 messages"},
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
    EXPECT_EQ(ReadWithinTarget(row.reader, path), row.outcome);
  }
}

// Annotates `alignment` with the one factor into `out`.
void Annotate(const TSeqSet& alignment, const TTFSet& factor,
              AnnotatedView& out) {
  ReadInData data;
  data.alignment = std::make_unique<TSeqSet>(alignment);
  data.factors = {factor};
  NullSink sink;
  AnnotateTFSites(data, out, sink);
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
  AnnotatedView out;
  Annotate(alignment, factor, out);
  ASSERT_EQ(out.view.LineCount(), kSites + 1);
  EXPECT_EQ(out.view.Line(kSites), "s> \tL...");
}

// Placing labels takes near-linear time whatever the pattern of the sites:
// in a child with a processor-time limit that trying the tracks one by one
// for every label would exceed many times over.
TEST(AnnotationLimitsTest, OverlappingLabelsInAnyPatternTakeNearLinearTime) {
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
    AnnotatedView out;
    Annotate(alignment, factor, out);
    return std::to_string(out.view.LineCount() - out.line_index[1]);
  });
  ASSERT_TRUE(outcome.completed) << outcome.failure;
  EXPECT_EQ(outcome.report, std::to_string(2 * kSites / 5 + 2));
}

}  // namespace
}  // namespace tessarin
