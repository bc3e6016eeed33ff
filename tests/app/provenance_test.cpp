// Workspace::MakeProvenance on the bundled example.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder_test.h"
#include "text/sha256.h"

namespace tessarin {
namespace {

std::string Example(const char* name) {
  return std::string(TESSARIN_EXAMPLES) + "/" + name;
}

TEST(MakeProvenanceTest, DescribesTheInputsCriteriaAndCutoffsOfTheExample) {
  RecordingSink sink;
  Workspace workspace(sink);
  workspace.SetPath(FileSlot::kFas, Example("promoter.fas"));
  workspace.SetPath(FileSlot::kTf, Example("promoter.tf"));
  workspace.SetPath(FileSlot::kConservation, Example("promoter.cons"));
  ASSERT_TRUE(workspace.ReadInFiles());
  workspace.SetCriteria({true, false, true});
  workspace.SetCutoff(1, 0.25L);

  const testing::ScopedEnvironment epoch("SOURCE_DATE_EPOCH", "0");
  const Provenance provenance = workspace.MakeProvenance("");
  const Provenance titled = workspace.MakeProvenance("Figure 1");

  EXPECT_EQ(provenance.title, "promoter.fas");
  EXPECT_EQ(titled.title, "Figure 1");
  EXPECT_EQ(provenance.program, "Tessarin 0.01");
  EXPECT_EQ(provenance.date, "1970-01-01T00:00:00Z");
  const std::pair<const char*, const char*> inputs[] = {
      {"alignment", "promoter.fas"},
      {"sites", "promoter.tf"},
      {"conservation", "promoter.cons"}};
  ASSERT_EQ(provenance.inputs.size(), std::size(inputs));
  for (std::size_t i = 0; i < std::size(inputs); ++i) {
    const ProvenanceInput& input = provenance.inputs[i];
    const std::string path = Example(inputs[i].second);
    EXPECT_EQ(input.role, inputs[i].first);
    EXPECT_EQ(input.path, path);
    EXPECT_EQ(input.size, std::filesystem::file_size(path));
    EXPECT_EQ(input.sha256, FileSha256(path));
    EXPECT_EQ(input.sha256.size(), 64u);
  }
  std::vector<std::string> scores;
  for (const ProvenanceScore& score : provenance.scores) {
    scores.push_back(score.name + (score.chosen ? " chosen " : " not ") +
                     score.cutoff);
  }
  EXPECT_EQ(scores, (std::vector<std::string>{"ML chosen 0.132", "PI not 0.250",
                                              "DIST chosen 0.123"}));
}

class MakeProvenanceImportTest : public testing::TempFolderTest {};

TEST_F(MakeProvenanceImportTest, ListsImportedSitesAndComputedConservation) {
  RecordingSink sink;
  Workspace workspace(sink);
  workspace.SetPath(FileSlot::kFas, Example("promoter.fas"));
  workspace.SetPath(FileSlot::kTf, Example("promoter.tf"));
  workspace.LeaveOut(FileSlot::kConservation, true);
  ASSERT_TRUE(workspace.ReadInFiles());
  ASSERT_TRUE(workspace.ImportSites(Write("hits.bed", "human\t0\t6\tSP1\n")));
  ASSERT_TRUE(
      workspace.ComputeConservation({.width = 20, .step = 5, .reference = ""}));

  const Provenance provenance = workspace.MakeProvenance("");
  std::vector<std::string> roles;
  for (const ProvenanceInput& input : provenance.inputs) {
    roles.push_back(input.role);
  }
  EXPECT_EQ(roles, (std::vector<std::string>{"alignment", "sites", "sites"}));
  EXPECT_EQ(provenance.computed_conservation, "windows of 20 columns, step 5");

  // Reading in again forgets both.
  workspace.LeaveOut(FileSlot::kConservation, false);
  workspace.SetPath(FileSlot::kConservation, Example("promoter.cons"));
  ASSERT_TRUE(workspace.ReadInFiles());
  EXPECT_EQ(workspace.MakeProvenance("").inputs.size(), 3u);
  EXPECT_EQ(workspace.MakeProvenance("").computed_conservation, "");
}

// The facts of a file are taken once, right after it is read in, not again
// at every save: a file rewritten since is described as it was read.
// Reading in again takes them anew.
TEST_F(MakeProvenanceImportTest, DescribesTheFilesAsTheyWereReadIn) {
  RecordingSink sink;
  Workspace workspace(sink);
  const std::string fas = Write("a.fas", ">human\nACGT\n");
  workspace.SetPath(FileSlot::kFas, fas);
  workspace.LeaveOut(FileSlot::kTf, true);
  workspace.LeaveOut(FileSlot::kConservation, true);
  ASSERT_TRUE(workspace.ReadInFiles());
  const ProvenanceInput as_read = workspace.MakeProvenance("").inputs.at(0);
  EXPECT_EQ(as_read.sha256, FileSha256(fas));
  Write("a.fas", ">human\nACGTACGT\n");
  ProvenanceInput input = workspace.MakeProvenance("").inputs.at(0);
  EXPECT_EQ(input.sha256, as_read.sha256);
  EXPECT_EQ(input.size, 12u);
  ASSERT_TRUE(workspace.ReadInFiles());
  input = workspace.MakeProvenance("").inputs.at(0);
  EXPECT_EQ(input.sha256, FileSha256(fas));
  EXPECT_EQ(input.size, 16u);
}

TEST(MakeProvenanceTest, UnreadableInputsHaveNoSizeOrDigest) {
  RecordingSink sink;
  Workspace workspace(sink);
  workspace.SetPath(FileSlot::kFas, "/no/such/folder/a.fas");
  workspace.SetPath(FileSlot::kTf, "/");
  const Provenance provenance = workspace.MakeProvenance("");
  EXPECT_EQ(provenance.title, "a.fas");
  ASSERT_EQ(provenance.inputs.size(), 3u);
  for (const ProvenanceInput& input : provenance.inputs) {
    EXPECT_EQ(input.size, std::nullopt) << input.role;
    EXPECT_EQ(input.sha256, "") << input.role;
  }
  EXPECT_TRUE(provenance.scores.empty());
}

}  // namespace
}  // namespace tessarin
