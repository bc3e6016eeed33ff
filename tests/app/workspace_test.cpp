#include "app/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>

#include "tests/support/temp_folder_test.h"
#include "view/rich_view.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFasta = ">human\nAC-GT~A\n>mouse\nacggt-a\n";
constexpr const char* kTf =
    "[TF]\nName = F1\nMatchType = direct\n[[TABLE]]\nhuman 2 S1 CG\n*\n";
constexpr const char* kConservation =
    "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 1\n[[STATS]]\n"
    "Thresh 0.5 0.25\n[[TABLE]]\n1 3 0.1 0.1\n4 6 0.9 0.1\n*\n";

class WorkspaceTest : public testing::TempFolderTest {
 protected:
  void SetFiles(const std::string& fasta = kFasta, const std::string& tf = kTf,
                const std::string& conservation = kConservation) {
    ASSERT_TRUE(workspace_.ChooseFile(FileSlot::kFas, Write("a.fas", fasta)));
    ASSERT_TRUE(workspace_.ChooseFile(FileSlot::kTf, Write("a.tf", tf)));
    ASSERT_TRUE(workspace_.ChooseFile(FileSlot::kConservation,
                                      Write("a.cons", conservation)));
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const RichView& view = workspace_.View();
    for (std::size_t i = 0; i < view.LineCount(); ++i) {
      lines.emplace_back(view.Line(i));
    }
    return lines;
  }

  RecordingSink sink_;
  Workspace workspace_{sink_};
};

TEST_F(WorkspaceTest, CommandsBeforeReadingInReport) {
  EXPECT_FALSE(workspace_.ReadInFiles());
  EXPECT_FALSE(workspace_.Annotate());
  EXPECT_FALSE(workspace_.ChooseFile(FileSlot::kFas, "/no/such/file"));
  EXPECT_FALSE(workspace_.ChooseFile(FileSlot::kFas, dir_.string()));
  EXPECT_EQ(workspace_.StoreCutoff(std::nullopt, "abc"), std::nullopt);
  EXPECT_EQ(workspace_.StoreCutoff(std::nullopt, "0.5"), std::nullopt);
  EXPECT_EQ(
      sink_.texts,
      (std::vector<std::string>{
          "Missing file(s)!", "No data loaded!", "No such file: /no/such/file",
          "No such file: " + dir_.string(), "Not a number"}));
  EXPECT_EQ(workspace_.Path(FileSlot::kFas), "");
  EXPECT_EQ(workspace_.Status(), ".");
  EXPECT_FALSE(workspace_.Loaded());
}

TEST_F(WorkspaceTest, ReadInFilesListsSequencesAndSelectsAllCriteria) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  EXPECT_TRUE(sink_.texts.empty()) << sink_.texts.front();
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{"human> \tAC-GT~A", "mouse> \tACGGT-A"}));
  EXPECT_EQ(workspace_.Criteria(), AByte({1, 1}));
  EXPECT_EQ(workspace_.CutoffText(0), "0.500");
  EXPECT_EQ(workspace_.CutoffText(1), "0.250");
  EXPECT_EQ(workspace_.CutoffText(2), std::nullopt);
  EXPECT_FALSE(workspace_.Annotated());
}

TEST_F(WorkspaceTest, AnnotateWritesRowsTracksAndStatus) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  std::vector<std::string> statuses;
  workspace_.on_status_changed = [&] {
    statuses.push_back(workspace_.Status());
  };
  ASSERT_TRUE(workspace_.Annotate());
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{"human> \tAC-GT~A", "human> \t.S1....",
                                      "mouse> \tACGGT-A"}));
  EXPECT_EQ(workspace_.LineIndex(), ADWord({0, 2}));
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"TF binding site annotation completed.",
                                      "Conservation plotting completed."}));
  EXPECT_TRUE(workspace_.Annotated());

  // Annotate again gives the same text.
  const auto first = Lines();
  ASSERT_TRUE(workspace_.Annotate());
  EXPECT_EQ(Lines(), first);
}

TEST_F(WorkspaceTest, InspectorAnswersOnlyAfterAnnotate) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  workspace_.View().SetSelection(8 + 2, 3);
  EXPECT_EQ(workspace_.Status(), ".");
  ASSERT_TRUE(workspace_.Annotate());
  // Columns 3 to 5 of "AC-GT~A": -GT.
  workspace_.View().SetSelection(8 + 2, 3);
  EXPECT_EQ(workspace_.Status(),
            "human: +Gaps: Pos=3 L=3 -Gaps: Pos=2 L=2 >GT");
  workspace_.View().SetSelection(8 + 3, 2);
  EXPECT_EQ(workspace_.Status(),
            "human: +Gaps: Pos=4 L=2 -Gaps: Pos=3 L=2 >GT");
  // A track line leaves the status as it was; a caret clears it.
  workspace_.View().SetSelection(LineStart(workspace_.View(), 1) + 9, 2);
  EXPECT_EQ(workspace_.Status(),
            "human: +Gaps: Pos=4 L=2 -Gaps: Pos=3 L=2 >GT");
  workspace_.View().SetSelection(3, 0);
  EXPECT_EQ(workspace_.Status(), "");
}

TEST_F(WorkspaceTest, CutoffsFollowTheRealRule) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  for (const char* good : {"1e-2", ".5", "5.", "  0.5"}) {
    EXPECT_NE(workspace_.StoreCutoff(0, good), std::nullopt) << good;
  }
  for (const char* bad : {"0,5", "0.5 ", "abc", "-", ""}) {
    EXPECT_EQ(workspace_.StoreCutoff(0, bad), std::nullopt) << bad;
  }
  EXPECT_EQ(sink_.texts, std::vector<std::string>(5, "Not a number"));
  EXPECT_EQ(workspace_.StoreCutoff(1, "0.12345"), "0.123");
  EXPECT_EQ(workspace_.Conservation().Cutoffs[1], 0.12345L);
  // A new reading in brings the file's cut-offs and all criteria back.
  workspace_.SetCriteria({false, true});
  EXPECT_EQ(workspace_.Criteria(), AByte({0, 1}));
  ASSERT_TRUE(workspace_.ReadInFiles());
  EXPECT_EQ(workspace_.CutoffText(1), "0.250");
  EXPECT_EQ(workspace_.Criteria(), AByte({1, 1}));
}

TEST_F(WorkspaceTest, AnnotateIsRefusedAfterAFailedLengthCheck) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  ASSERT_TRUE(workspace_.Annotate());
  ASSERT_TRUE(workspace_.ChooseFile(
      FileSlot::kFas, Write("b.fas", ">human\nACG\n>mouse\nAC\n")));
  ASSERT_TRUE(workspace_.ReadInFiles());
  EXPECT_TRUE(workspace_.Loaded());
  EXPECT_FALSE(workspace_.Annotate());
  EXPECT_EQ(sink_.texts,
            std::vector<std::string>(
                2, "Seqs have different length -> no proper alignment"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"human> \tACG", "mouse> \tAC"}));
}

TEST_F(WorkspaceTest, SaveKeepsTheOldFileWhenItFails) {
  SetFiles();
  ASSERT_TRUE(workspace_.ReadInFiles());
  const std::string target = Write("view.rtf", "old content");
  ASSERT_TRUE(workspace_.Save(target, DocumentFormat::kText));
  std::ifstream in(target);
  std::stringstream saved;
  saved << in.rdbuf();
  EXPECT_EQ(saved.str(), "human> \tAC-GT~A\nmouse> \tACGGT-A\n");

  EXPECT_FALSE(workspace_.Save((dir_ / "missing" / "x.rtf").string(),
                               DocumentFormat::kRtf));
  EXPECT_FALSE(workspace_.Save(dir_.string(), DocumentFormat::kRtf));
  ASSERT_EQ(sink_.texts.size(), 2u);
  EXPECT_NE(sink_.texts[0].find("No such file or directory"),
            std::string::npos);
  EXPECT_NE(sink_.texts[1].find("Is a directory"), std::string::npos);
  // No temporary file is left behind.
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) {
    ++files;
  }
  EXPECT_EQ(files, 4u);
}

// Fails the step `phase` of the next command by throwing from the progress
// observer, which every long step tells first, and counts the command ends.
class FailingStep : public ProgressObserver {
 public:
  FailingStep(std::string_view phase, bool out_of_memory)
      : phase_(phase), out_of_memory_(out_of_memory) {}
  void PhaseStarted(std::string_view phase) override {
    if (phase != phase_) return;
    if (out_of_memory_) throw std::bad_alloc();
    throw std::runtime_error("device on fire");
  }
  void Finished() override { ++finished; }
  int finished = 0;

 private:
  std::string_view phase_;
  bool out_of_memory_;
};

TEST_F(WorkspaceTest, AFailingStepEndsItsCommandAndLeavesAConsistentState) {
  enum class Command { kRead, kAnnotate, kSave, kWrite };
  const struct Row {
    const char* name;
    Command command;
    std::string_view phase;
    bool out_of_memory;
    bool annotate_after;  // Annotate runs on what the failure left
  } rows[] = {
      // Stopped before the new tables exist: the alignment is not usable.
      {"reading the alignment", Command::kRead, kPhaseReadFasta, true, false},
      {"reading the TF file", Command::kRead, kPhaseReadTf, true, true},
      {"listing", Command::kRead, kPhaseList, true, true},
      {"annotating", Command::kAnnotate, kPhaseAnnotate, true, true},
      {"highlighting", Command::kAnnotate, kPhaseHighlight, true, true},
      {"saving", Command::kSave, kPhaseWrite, true, true},
      {"writing", Command::kWrite, kPhaseWrite, true, true},
      {"saving, other failure", Command::kSave, kPhaseWrite, false, true},
  };
  SetFiles();
  const std::string target = Write("view.rtf", "old content");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(workspace_.ReadInFiles());
    workspace_.SetCriteria({false, true});
    ASSERT_TRUE(workspace_.Annotate());
    sink_.texts.clear();
    FailingStep failing(row.phase, row.out_of_memory);
    workspace_.SetProgressObserver(&failing);
    std::ostringstream written;
    bool done = false;  // Write tells nothing
    switch (row.command) {
      case Command::kRead:
        done = workspace_.ReadInFiles();
        break;
      case Command::kAnnotate:
        done = workspace_.Annotate();
        break;
      case Command::kSave:
        done = workspace_.Save(target, DocumentFormat::kRtf);
        break;
      case Command::kWrite:
        workspace_.Write(written, DocumentFormat::kRtf);
        break;
    }
    workspace_.SetProgressObserver(nullptr);
    EXPECT_FALSE(done);
    EXPECT_EQ(sink_.texts,
              std::vector<std::string>{row.out_of_memory ? "Out of memory"
                                                         : "device on fire"});
    EXPECT_GE(failing.finished, 1);
    const bool kept_view =
        row.command == Command::kSave || row.command == Command::kWrite;
    EXPECT_EQ(workspace_.Annotated(), kept_view);
    // A failed reading in keeps the criteria the user chose.
    if (row.command == Command::kRead) {
      EXPECT_EQ(workspace_.Criteria(), AByte({0, 1}));
    }
    EXPECT_TRUE(workspace_.Loaded());
    EXPECT_EQ(workspace_.Annotate(), row.annotate_after);
    if (row.annotate_after) {
      EXPECT_EQ(Lines()[1], "human> \t.S1....");
    }
    // The old file stays, and no temporary file is left.
    std::ifstream in(target);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), "old content");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 4);
  }
}

}  // namespace
}  // namespace tessarin
