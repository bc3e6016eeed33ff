#include "app/cli.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/descriptor_buffer.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder_test.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFasta = ">human\nAAC-GTGACTCAT\n>mouse\nAACAGTGACTGAT\n";
constexpr const char* kTf =
    "[TF]\nName = AP1\nMatchType = direct\n[[TABLE]]\n"
    "human 5 AP1 TGACTGA\n*\n";
constexpr const char* kConservation =
    "[SCORES]\nScoreNames = ML, PI\nNSummaryStats = 1\n[[STATS]]\n"
    "Thresh 0.5 0.25\n[[TABLE]]\n1 2 0.1 0.1\n3 4 0.9 0.1\n*\n";

struct Result {
  int status;
  std::string out;
  std::string err;
};

class CliTest : public testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    fas_ = Write("a.fas", kFasta);
    tf_ = Write("a.tf", kTf);
    cons_ = Write("a.cons", kConservation);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  Result Run(std::vector<std::string> args, bool with_files = true) {
    std::vector<std::string> all = {"tessarin-cli"};
    if (with_files) {
      all.insert(all.end(), {"--fas", fas_, "--tf", tf_, "--cons", cons_});
    }
    all.insert(all.end(), args.begin(), args.end());
    std::vector<const char*> argv;
    for (const std::string& a : all) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status =
        RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
  }

  std::string fas_, tf_, cons_;
};

TEST_F(CliTest, JsonDocumentOfTheAnnotatedView) {
  const Result r = Run({"--format", "json", "--inspect", "0:10:3"});
  ASSERT_EQ(r.status, kExitClean) << r.err;
  // Standard output holds the document alone.
  const auto doc = nlohmann::json::parse(r.out);
  EXPECT_EQ(doc["lines"], nlohmann::json::array({"human> \tAAC-GTGACTCAT",
                                                 "human> \t.....AP1.....",
                                                 "mouse> \tAACAGTGACTGAT"}));
  EXPECT_EQ(doc["lineIndex"], nlohmann::json::array({0, 2}));
  EXPECT_EQ(doc["messages"], nlohmann::json::array());
  const std::string report = "human: +Gaps: Pos=3 L=3 -Gaps: Pos=3 L=2 >CG";
  EXPECT_EQ(doc["status"], report);
  EXPECT_EQ(doc["inspect"], nlohmann::json::array({report}));
  // The first window (columns 1 and 2) is yellow on both rows.
  bool yellow_on_mouse = false;
  for (const auto& run : doc["runs"]) {
    if (run["line"] == 2 && run["col"] == 8 && run["back"] == 0x00FFFF) {
      yellow_on_mouse = run["len"] == 2;
    }
  }
  EXPECT_TRUE(yellow_on_mouse) << doc["runs"].dump();
  // Inspect results go to standard error when the document is on output.
  EXPECT_EQ(r.err, report + "\n");
}

TEST_F(CliTest, CriteriaAndCutoffsChangeTheHighlight) {
  // No criterion: nothing is yellow.
  Result r = Run({"--format", "json", "--criteria", ""});
  ASSERT_EQ(r.status, kExitClean) << r.err;
  EXPECT_EQ(r.out.find("65535"), std::string::npos);
  // PI alone: both windows pass.
  r = Run({"--format", "json", "--criteria", "PI"});
  auto doc = nlohmann::json::parse(r.out);
  std::size_t yellow = 0;
  for (const auto& run : doc["runs"]) {
    if (run["back"] == 0x00FFFF) yellow += run["len"].get<std::size_t>();
  }
  EXPECT_EQ(yellow, 8u);
  // Raising ML's cut-off lets the second window pass too.
  r = Run({"--format", "json", "--cutoff", "ML=1"});
  doc = nlohmann::json::parse(r.out);
  yellow = 0;
  for (const auto& run : doc["runs"]) {
    if (run["back"] == 0x00FFFF) yellow += run["len"].get<std::size_t>();
  }
  EXPECT_EQ(yellow, 8u);
}

TEST_F(CliTest, UsageErrorsExitTwoWithoutDocument) {
  const std::vector<std::vector<std::string>> bad = {
      {"--criteria", "XX"},
      {"--cutoff", "ML"},
      {"--cutoff", "ML=abc"},
      {"--cutoff", "NOPE=1"},
      {"--format", "docx"},
      {"--inspect", "1:2"},
      {"--inspect", "a:b:c"},
      {"--no-such-option"},
      {"--out", "view.doc"},
      {"--wrap", "9"},
      {"--wrap", "1001"},
      {"--wrap", "x"},
      {"--palette", "rainbow"},
      {"--wrap", "60", "--format", "json"},
      {"--report", "r.csv"},
      {"--report", "r.tsv", "--listing"},
      {"--only-conserved"},
      {"--min-shared", "2"},
      {"--plot"},
      {"--no-plot", "--wrap", "60", "--plot"},
      {"--dpi", "300"},
      {"--out", "f.png", "--dpi", "9"},
      {"--page", "A4"},
      {"--out", "f.svg", "--page", "A4"},
      {"--out", "f.pdf", "--page", "A5"},
      {"--out", "f.png", "--wrap", "9"},
  };
  for (const auto& args : bad) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, kExitUsage) << args[0];
    EXPECT_EQ(r.out, "") << args[0];
    EXPECT_EQ(r.err.rfind("tessarin: ", 0), 0u) << r.err;
  }
  EXPECT_EQ(Run({"--fas", fas_}, false).status, kExitUsage);
  EXPECT_EQ(Run({"--fas", "-", "--tf", "-"}).status, kExitUsage);
  EXPECT_EQ(Run({"--help"}, false).status, kExitClean);
}

TEST_F(CliTest, ReportAndTracksBesideTheDocument) {
  const std::string view = Run({"--format", "json"}).out;
  const std::string tsv = (dir_ / "r.tsv").string();
  const std::string kept = (dir_ / "kept.json").string();
  const std::string beds = (dir_ / "tracks").string();
  const Result r =
      Run({"--format", "json", "--report", tsv, "--report-bed", beds});
  EXPECT_EQ(r.status, kExitClean) << r.err;
  EXPECT_EQ(r.out, view);
  const std::string report = Read(tsv);
  EXPECT_EQ(report.substr(report.find('\n') + 1),
            "AP1\thuman\t.\t5\t11\t6\t12\tTGACTGA\t6\t1\t\t\t0\tnone\t0\t0\t"
            "2\t\n");
  EXPECT_EQ(Read(beds + "/human.bed"), "");
  EXPECT_TRUE(std::filesystem::exists(beds + "/mouse.bed"));
  EXPECT_EQ(Run({"--report", kept, "--only-conserved"}).status, kExitClean);
  EXPECT_NE(Read(kept).find("\"sites\": [],"), std::string::npos);
}

TEST_F(CliTest, MessagesGoToStandardErrorAndSetStatusOne) {
  Result r =
      Run({"--fas", "/no/such.fas", "--tf", tf_, "--cons", cons_}, false);
  EXPECT_EQ(r.status, kExitReported);
  EXPECT_EQ(r.err, "tessarin: Missing file(s)!\n");
  EXPECT_EQ(r.out, "");

  fas_ = Write("bad.fas", ">human\nACG\n>mouse\nAC\n");
  r = Run({"--format", "text"});
  EXPECT_EQ(r.status, kExitReported);
  EXPECT_EQ(r.err,
            "tessarin: Seqs have different length -> no proper alignment\n"
            "tessarin: Seqs have different length -> no proper alignment\n");
  EXPECT_EQ(r.out, "human> \tACG\nmouse> \tAC\n");
}

TEST_F(CliTest, ListingAndFormatFromExtension) {
  const std::string out = (dir_ / "view.txt").string();
  Result r = Run({"--listing", "--out", out});
  ASSERT_EQ(r.status, kExitClean) << r.err;
  EXPECT_EQ(Read(out), "human> \tAAC-GTGACTCAT\nmouse> \tAACAGTGACTGAT\n");
  const std::string rtf = (dir_ / "view.rtf").string();
  r = Run({"--out", rtf});
  EXPECT_EQ(Read(rtf).rfind("{\\rtf1", 0), 0u);
  const std::string html = (dir_ / "view.htm").string();
  r = Run({"--out", html});
  EXPECT_NE(Read(html).find("<html"), std::string::npos);
  const std::string upper = (dir_ / "VIEW.TXT").string();
  r = Run({"--listing", "--out", upper});
  EXPECT_EQ(Read(upper), Read(out));
  r = Run({"--listing", "--format", "Text"});
  EXPECT_EQ(r.out, Read(out));
}

TEST_F(CliTest, WrapWritesTheFigureWithTitleRulerAndLegend) {
  const Result r = Run({"--wrap", "10", "--format", "text", "--title", "T"});
  ASSERT_EQ(r.status, kExitClean) << r.err;
  EXPECT_EQ(r.out.rfind("T\nAlignment: " + fas_, 0), 0u) << r.out;
  EXPECT_NE(r.out.find("Factors: "), std::string::npos);
  // Two blocks of 10 and 3 columns; each row ends with its residues so far.
  EXPECT_NE(r.out.find("\n\n                10\n                |\n"
                       "human  AAC-GTGACT  9\n            AP1\n"
                       "mouse  AACAGTGACT 10\n\n\n\nhuman  CAT 12\n"),
            std::string::npos)
      << r.out;
}

TEST_F(CliTest, ControlBytesReachTheTerminalOnlyAsEscapes) {
  // A name that would retitle the terminal and write its clipboard.
  fas_ = Write("esc.fas",
               ">h\x1b]0;T\x07\x1b]52;c;QQ==\x07\x7f\tx\nAAC-GTGACTCAT\n"
               ">mouse\nAACAGTGACTGAT\n");
  const std::string json = (dir_ / "view.json").string();
  const Result r = Run({"--inspect", "0:25:2", "--out", json});
  const std::string name = "h\\x1b]0;T\\x07\\x1b]52;c;QQ==\\x07\\x7f\tx";
  EXPECT_EQ(r.out, name + ": +Gaps: Pos=1 L=2 -Gaps: Pos=1 L=2 >AA\n");
  EXPECT_EQ(r.err, "");
  // The documents keep the bytes as they are.
  EXPECT_NE(Read(json).find("\\u001b]52;c;QQ==\\u0007\x7f\\tx"),
            std::string::npos);
  // Standard error too, whatever the line says.
  EXPECT_EQ(Run({"--cutoff", "\x1b[2J\r=1"}).err,
            "tessarin: unknown score in --cutoff: \\x1b[2J\\x0d\n");
}

TEST_F(CliTest, FailedWriteToStandardOutputIsReported) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  DescriptorBuffer buffer(full);
  std::ostream out(&buffer);
  std::ostringstream err;
  const std::vector<std::string> args = {"tessarin-cli", "--fas",    fas_,
                                         "--tf",         tf_,        "--cons",
                                         cons_,          "--format", "json"};
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err),
            kExitWrite);
  ::close(full);
  EXPECT_EQ(err.str(),
            "tessarin: Cannot write to standard output: No space left on "
            "device\n");
}

// Short options, "-" for standard input and output, --quiet, and status 3
// for an output that cannot be written.
TEST_F(CliTest, ShellConventions) {
  // The documents carry the time they were written; a fixed one keeps the
  // runs comparable across a second's boundary.
  const testing::ScopedEnvironment epoch("SOURCE_DATE_EPOCH", "0");
  const std::string json = Run({"--format", "json"}).out;
  EXPECT_EQ(Run({"-f", "json", "-o", "-"}).out, json);
  const std::string path = (dir_ / "v.json").string();
  EXPECT_EQ(Run({"-o", path}).status, kExitClean);
  EXPECT_EQ(Read(path), json);

  // The FASTA file from standard input.
  const int saved = ::dup(STDIN_FILENO);
  const int fas = ::open(fas_.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fas, 0);
  ::dup2(fas, STDIN_FILENO);
  ::close(fas);
  const Result piped =
      Run({"--fas", "-", "--tf", tf_, "--cons", cons_, "-f", "text"}, false);
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
  EXPECT_EQ(piped.status, kExitClean) << piped.err;
  EXPECT_EQ(piped.out, Run({"-f", "text"}).out);

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err_head;  // what standard error starts with
  };
  const std::string file_as_folder = fas_ + "/tracks";
  const std::vector<Case> cases = {
      {{"-o", (dir_ / "no" / "v.json").string()},
       kExitWrite,
       "tessarin: Cannot save"},
      {{"--report-bed", file_as_folder},
       kExitWrite,
       "tessarin: Cannot create folder"},
      {{"--report-bed", file_as_folder, "-q"}, kExitWrite, ""},
      {{"--fas", "/no/such.fas", "--tf", tf_, "--cons", cons_, "--quiet"},
       kExitReported,
       ""},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args, c.args[0] != "--fas");
    EXPECT_EQ(r.status, c.status) << c.args[0] << r.err;
    EXPECT_EQ(r.err.substr(0, c.err_head.size()), c.err_head) << r.err;
    if (c.err_head.empty()) {
      EXPECT_EQ(r.err, "");
    }
  }

  const Result version = Run({"-V"}, false);
  EXPECT_EQ(version.out.rfind("tessarin-cli ", 0), 0u);
  const Result help = Run({"-h"}, false);
  EXPECT_EQ(help.status, kExitClean);
  for (const char* text : {"-o,--out", "-f,--format", "-q,--quiet",
                           "-V,--version", "Example:", "Exit status:"}) {
    EXPECT_NE(help.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tessarin
