// Reading in a file far larger than the memory the process may take: the
// command reports "Out of memory" and the program goes on, in the workspace
// and in the batch front end alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/cli.h"
#include "app/workspace.h"
#include "support/child_process.h"
#include "tests/support/temp_folder_test.h"
#include "text/message_sink.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

class OutOfMemoryTest : public testing::TempFolderTest {};

TEST_F(OutOfMemoryTest, ReadingAHugeFileReportsOutOfMemoryAndGoesOn) {
  if (!harness::kAddressSpaceLimitsWork) {
    GTEST_SKIP() << "address-space limits do not work in this build";
  }
  const std::string files[] = {
      Write("a.fas", ">human\nACGT\n"),
      Write("a.cons",
            "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\n"
            "Thresh 0.5\n[[TABLE]]\n1 2 0.1\n*\n"),
      Write("a.tf",
            "[TF]\nName = F\nMatchType = direct\n[[TABLE]]\nhuman 1 S AC\n*\n"),
  };
  // 3 GB that take no disk: reading one needs far more than the limit.
  const std::string huge = (dir_ / "huge").string();
  Write("huge", "");
  fs::resize_file(huge, 3 * 1024 * kMiB);

  const struct Row {
    const char* name;
    FileSlot slot;  // the slot given the huge file
    bool batch;     // through the batch front end, else the workspace
    std::string report;
  } rows[] = {
      {"FASTA file", FileSlot::kFas, false, "Out of memory; loaded 0"},
      {"TF file", FileSlot::kTf, false, "Out of memory; loaded 0"},
      {"conservation file, batch", FileSlot::kConservation, true,
       "exit 1; out 0; tessarin: Out of memory\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string paths[] = {files[0], files[1], files[2]};
    paths[static_cast<int>(row.slot)] = huge;
    const harness::ChildOutcome outcome = harness::RunInChild([&] {
      if (!harness::LimitAddressSpace(512 * kMiB)) return std::string("limit");
      if (row.batch) {
        const char* argv[] = {
            "tessarin-cli",   "--fas",          paths[0].c_str(),
            "--cons",         paths[1].c_str(), "--tf",
            paths[2].c_str(), "--format",       "json"};
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCli(9, argv, out, err);
        return "exit " + std::to_string(status) + "; out " +
               std::to_string(out.str().size()) + "; " + err.str();
      }
      RecordingSink sink;
      Workspace workspace(sink);
      workspace.SetPath(FileSlot::kFas, paths[0]);
      workspace.SetPath(FileSlot::kConservation, paths[1]);
      workspace.SetPath(FileSlot::kTf, paths[2]);
      workspace.ReadInFiles();
      std::string report;
      for (const std::string& text : sink.texts) report += text + "; ";
      return report + "loaded " + std::to_string(workspace.Loaded());
    });
    EXPECT_TRUE(outcome.completed) << outcome.failure;
    EXPECT_EQ(outcome.report, row.report);
  }
}

}  // namespace
}  // namespace tessarin
