// Damaged and hostile input files, read in and annotated through the
// workspace's commands: each gives its exact messages and view.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "alignment/position_map.h"
#include "app/workspace.h"
#include "sources/conservation_format.h"
#include "sources/reading_in.h"
#include "sources/tf_format.h"
#include "sources/tf_set.h"
#include "support/child_process.h"
#include "tests/support/temp_folder_test.h"
#include "view/conservation_highlight.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
namespace cf = conservation_format;
namespace tf = tf_format;
using Texts = std::vector<std::string>;

constexpr std::string_view kFas =
    ">human\nAAC-GTGACTCAT\n>mouse\nAACAGTGACTGAT\n";
constexpr std::string_view kTf =
    "[TF]\nName = AP1\nMatchType = direct\n[[TABLE]]\nhuman 5 AP1 TGACTCA\n*\n";
constexpr std::string_view kCons =
    "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
    "[[TABLE]]\n1 4 0.1\n*\n";

std::string Replace(std::string_view text, char from, std::string_view to) {
  std::string result;
  for (const char c : text) {
    if (c == from) {
      result += to;
    } else {
      result += c;
    }
  }
  return result;
}

// The line ends of `text` taken in turn from CR LF, CR and LF.
std::string MixedLineEnds(std::string_view text) {
  static const std::string_view kEnds[] = {"\r\n", "\r", "\n"};
  std::string result;
  std::size_t next = 0;
  for (const char c : text) {
    if (c == '\n') {
      result += kEnds[next++ % 3];
    } else {
      result += c;
    }
  }
  return result;
}

std::vector<std::string> Lines(const RichView& view) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < view.LineCount(); ++i) {
    lines.emplace_back(view.Line(i));
  }
  return lines;
}

// Line `line` of the view with each character that has the conserved
// background shown as 'Y' and every other as '.'.
std::string Backgrounds(const RichView& view, std::size_t line) {
  std::string marks;
  const std::uint64_t start = view.LineStartOf(line);
  for (std::size_t i = 0; i < view.Line(line).size(); ++i) {
    marks +=
        view.Attributes(start + i).back == kConservedBackground ? 'Y' : '.';
  }
  return marks;
}

class HostileFilesTest : public testing::TempFolderTest {
 protected:
  // Reads the three files in and annotates them with a new workspace.
  Workspace& ReadAndAnnotate(std::string_view fas, std::string_view tf,
                             std::string_view cons) {
    sink_.texts.clear();
    workspace_ = std::make_unique<Workspace>(sink_);
    workspace_->SetPath(FileSlot::kFas, Write("a.fas", fas));
    workspace_->SetPath(FileSlot::kTf, Write("a.tf", tf));
    workspace_->SetPath(FileSlot::kConservation, Write("a.cons", cons));
    EXPECT_TRUE(workspace_->ReadInFiles());
    workspace_->Annotate();  // refused after a failed length check
    return *workspace_;
  }

  RecordingSink sink_;
  std::unique_ptr<Workspace> workspace_;
};

// `size` bytes from a seeded generator, without the bytes of `banned`.
std::string RandomBytes(std::size_t size, unsigned seed,
                        std::string_view banned = "") {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    const auto byte = static_cast<char>(random());
    if (banned.find(byte) == std::string_view::npos) bytes += byte;
  }
  return bytes;
}

TEST_F(HostileFilesTest, DamagedFilesGiveTheirMessagesAndView) {
  const Texts clean_view = {"human> \tAAC-GTGACTCAT", "human> \t.....AP1.....",
                            "mouse> \tAACAGTGACTGAT"};
  std::string many_rows = "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n";
  many_rows += "human" + std::string(1000000, ' ') + "5 AP1 TGACTCA\n";
  for (int i = 0; i < 300; ++i) many_rows += "mouse 1 M A\n";
  Texts many_tracks = {clean_view[0], clean_view[1], clean_view[2]};
  many_tracks.insert(many_tracks.end(), 300, "mouse> \tM............");
  const std::string nul(1, '\0');
  const std::string no_sequence =
      std::string(kNoSequenceFound) + "\"" + (dir_ / "a.fas").string() + "\"";

  const struct Row {
    std::string name;
    std::string fas, tf, cons;
    Texts messages;
    std::optional<Texts> view;  // nothing: not checked
  } rows[] = {
      // Random bytes without Ctrl-Z, which would end each file early. No
      // header: no sequence, which is said; no block in either of the other
      // files.
      {"files of random bytes",
       RandomBytes(100000, 1, ">\x1a"),
       RandomBytes(100000, 2, "\x1a"),
       RandomBytes(100000, 3, "\x1a"),
       {no_sequence, std::string(tf::kNoBlock), std::string(cf::kNoBlock)},
       Texts{}},
      // Random headers give sequences of unequal lengths: reading in stops
      // there, and Annotate is refused.
      {"files of random bytes with headers",
       RandomBytes(100000, 4, "\x1a"),
       RandomBytes(100000, 5, "\x1a"),
       RandomBytes(100000, 6, "\x1a"),
       {std::string(kNoProperAlignment), std::string(kNoProperAlignment)},
       std::nullopt},
      {"empty files",
       "",
       "",
       "",
       {no_sequence, std::string(tf::kNoBlock), std::string(cf::kNoBlock)},
       Texts{}},
      {"clean files",
       std::string(kFas),
       std::string(kTf),
       std::string(kCons),
       {},
       clean_view},
      {"CR-only line ends",
       Replace(kFas, '\n', "\r"),
       Replace(kTf, '\n', "\r"),
       Replace(kCons, '\n', "\r"),
       {},
       clean_view},
      {"mixed line ends",
       MixedLineEnds(kFas),
       MixedLineEnds(kTf),
       MixedLineEnds(kCons),
       {},
       clean_view},
      // NUL is a residue and a name byte; in a key's value it is dropped.
      {"NUL bytes inside lines",
       ">hu" + nul + "man\nAC" + nul + "GT\n",
       "[TF]\nName = A" + nul + "P\nMatchType = dir" + nul +
           "ect\n[[TABLE]]\nhu" + nul + "man 3 L" + nul + "B " + nul + "G\n*\n",
       std::string(kCons),
       {},
       Texts{"hu" + nul + "man> \tAC" + nul + "GT",
             "hu" + nul + "man> \t..L" + nul + "B"}},
      // Ctrl-Z ends each file: the second sequence, the TF block's end and
      // the conservation table are gone.
      {"Ctrl-Z in the middle",
       ">human\nAAC-GTGACTCAT\n\x1a>mouse\nAACAGTGACTGAT\n",
       "[TF]\nName = AP1\nMatchType = direct\n[[TABLE]]\nhuman 5 AP1 TGACTCA\n"
       "\x1a*\n[TF]\n",
       "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
       "\x1a[[TABLE]]\n1 4 0.1\n*\n",
       {std::string(cf::kTableNotFound)},
       Texts{clean_view[0], clean_view[1]}},
      {"NSummaryStats = 2000000000",
       std::string(kFas),
       std::string(kTf),
       "[SCORES]\nScoreNames = ML\nNSummaryStats = 2000000000\n[[STATS]]\n"
       "Thresh 0.5\n[[TABLE]]\n1 4 0.1\n*\n",
       {std::string(cf::kBadStatsSection)},
       clean_view},
      // The blanks collapse; each short row takes a track of its own.
      {"a million blanks, then many short rows",
       std::string(kFas),
       many_rows,
       std::string(kCons),
       {},
       many_tracks},
      // Neither position is in a gapless table: both lookups of each site
      // report, and nothing is marked.
      {"positions -1 and 4294967295", std::string(kFas),
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nhuman -1 M1 TG\n"
       "human 4294967295 M2 TG\n*\n",
       std::string(kCons), Texts(4, std::string(kGaplessValueNotFound)),
       Texts{clean_view[0], clean_view[2]}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Workspace& workspace = ReadAndAnnotate(row.fas, row.tf, row.cons);
    EXPECT_EQ(sink_.texts, row.messages);
    if (row.view) {
      EXPECT_EQ(Lines(workspace.View()), *row.view);
    }
  }
}

TEST_F(HostileFilesTest, WindowsAreClippedToTheRow) {
  // Column 0, an end far beyond the 13 columns, and "-1" (4294967295) as a
  // start after the end.
  const Workspace& workspace = ReadAndAnnotate(
      kFas, kTf,
      "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\nThresh 0.5\n"
      "[[TABLE]]\n0 2 0.1\n12 99999 0.1\n-1 4294967295 0.1\n*\n");
  EXPECT_TRUE(sink_.texts.empty());
  const std::string prefix(8, '.');  // "human> \t"
  EXPECT_EQ(Backgrounds(workspace.View(), 0), prefix + "YY.........YY");
  EXPECT_EQ(Backgrounds(workspace.View(), 1), prefix + ".............");
  EXPECT_EQ(Backgrounds(workspace.View(), 2), prefix + "YY.........YY");
}

TEST_F(HostileFilesTest, HundredFactorsWrapTheirColours) {
  std::string tf;
  for (int i = 0; i < 100; ++i) {
    tf += "[TF]\nName = F" + std::to_string(i) +
          "\nMatchType = length\n[[TABLE]]\nhuman " + std::to_string(i + 1) +
          " F 1\n*\n";
  }
  const std::string fas =
      ">human\n" + std::string(100, 'A') + "\n>mouse\n" + std::string(100, 'C');
  const Workspace& workspace = ReadAndAnnotate(fas, tf, kCons);
  EXPECT_TRUE(sink_.texts.empty());
  const RichView& view = workspace.View();
  const std::uint64_t first_column = view.LineStartOf(0) + 8;
  for (std::size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(view.Attributes(first_column + i).color, FactorColor(i)) << i;
  }
  // From factor 14 on, each repeats the colour of the factor eight before.
  EXPECT_EQ(view.Attributes(first_column + 99).color,
            view.Attributes(first_column + 91).color);
}

TEST_F(HostileFilesTest, TenThousandSequencesWithOneName) {
  std::string fas;
  for (int i = 0; i < 10000; ++i) fas += ">same\nACGT\n";
  Workspace& workspace = ReadAndAnnotate(
      fas, "[TF]\nName = S\nMatchType = direct\n[[TABLE]]\nsame 2 S CG\n*\n",
      kCons);
  EXPECT_TRUE(sink_.texts.empty());
  // Every sequence of the name is marked, each with its own track.
  RichView& view = workspace.View();
  ASSERT_EQ(view.LineCount(), 20000u);
  EXPECT_EQ(view.Line(19998), "same> \tACGT");
  EXPECT_EQ(view.Line(19999), "same> \t.S..");
  EXPECT_EQ(workspace.LineIndex()[9999], 19998u);
  EXPECT_EQ(view.Attributes(view.LineStartOf(19998) + 8).style,
            kFontUnderline | kFontBold);
  view.SetSelection(view.LineStartOf(19998) + 8, 2);
  EXPECT_EQ(workspace.Status(), "same: +Gaps: Pos=2 L=2 -Gaps: Pos=2 L=2 >CG");
}

TEST_F(HostileFilesTest, FolderIsNoFile) {
  Workspace workspace(sink_);
  EXPECT_FALSE(workspace.ChooseFile(FileSlot::kFas, dir_.string()));
  workspace.SetPath(FileSlot::kFas, dir_.string());
  workspace.SetPath(FileSlot::kTf, Write("a.tf", kTf));
  workspace.SetPath(FileSlot::kConservation, Write("a.cons", kCons));
  EXPECT_FALSE(workspace.ReadInFiles());
  EXPECT_EQ(sink_.texts, (Texts{std::string(kNoSuchFile) + dir_.string(),
                                std::string(kMissingFiles)}));
  EXPECT_FALSE(workspace.Loaded());
}

TEST_F(HostileFilesTest, FileUnreadableAfterItWasChosen) {
  const std::string fas = Write("a.fas", kFas);
  const std::string tf = Write("a.tf", kTf);
  const std::string cons = Write("a.cons", kCons);
  // Permissions do not bind root, so the child runs as an ordinary user
  // that owns the files.
  for (const fs::path& path :
       {dir_, fs::path(fas), fs::path(tf), fs::path(cons)}) {
    if (::geteuid() != 0) break;
    ASSERT_EQ(::chown(path.c_str(), harness::kNobody, harness::kNobody), 0);
  }
  const harness::ChildOutcome outcome = harness::RunInChild([&] {
    if (!harness::DropRoot()) return std::string("cannot drop root");
    RecordingSink sink;
    Workspace workspace(sink);
    std::string result;
    result += workspace.ChooseFile(FileSlot::kFas, fas) ? "" : "not chosen;";
    result += workspace.ChooseFile(FileSlot::kTf, tf) ? "" : "not chosen;";
    workspace.ChooseFile(FileSlot::kConservation, cons);
    ::chmod(tf.c_str(), 0);
    result += workspace.ReadInFiles() ? "read;" : "";
    result += workspace.Loaded() ? "loaded;" : "";
    for (const std::string& text : sink.texts) result += text + ";";
    return result;
  });
  ASSERT_TRUE(outcome.completed) << outcome.failure;
  EXPECT_EQ(outcome.report, "Cannot read \"" + tf + "\": Permission denied;");
}

TEST_F(HostileFilesTest, ReadErrorEndsTheReadingInWithItsReason) {
  // Reading this file fails with EIO after it was opened.
  const std::string unreadable = "/proc/self/mem";
  Workspace workspace(sink_);
  workspace.SetPath(FileSlot::kFas, Write("a.fas", kFas));
  workspace.SetPath(FileSlot::kTf, unreadable);
  workspace.SetPath(FileSlot::kConservation, Write("a.cons", kCons));
  EXPECT_TRUE(workspace.ReadInFiles());
  EXPECT_EQ(sink_.texts,
            Texts{"Cannot read \"" + unreadable + "\": Input/output error"});
  // The alignment was read and listed; the conservation file was not.
  EXPECT_EQ(Lines(workspace.View()),
            (Texts{"human> \tAAC-GTGACTCAT", "mouse> \tAACAGTGACTGAT"}));
  EXPECT_TRUE(workspace.Conservation().ScoreNames.empty());
  EXPECT_TRUE(workspace.Annotate());
}

}  // namespace
}  // namespace tessarin
