// What a person sees: the view and figure documents opened by LibreOffice
// (RTF) and Chromium (HTML), printed to PDF and read back with word positions
// by pdftotext. Skipped where those programs are not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "support/pdf_words.h"
#include "support/temp_folder_test.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::Lines;
using testing::PdfWords;
using testing::ReadFile;
using testing::Word;

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1")
                         .c_str()) == 0;
}

// An alignment of 8 rows and 3000 columns whose names differ much in
// length, with two factors whose sites lie far enough apart that their
// labels never touch, and a conservation table of 100-column windows.
struct Generated {
  std::string fas, tf, cons;
  std::vector<std::string> names;
  std::map<std::string, int> label_count;
};

Generated Generate() {
  Generated g;
  g.names = {
      "Mus", "Homo_sapiens", "rat", "Gallus_gallus_domesticus", "chicken", "x",
      "cow", "Danio_rerio"};
  const std::size_t columns = 3000;
  std::uint32_t state = 12345;
  std::vector<std::string> rows;
  for (const std::string& name : g.names) {
    std::string row;
    for (std::size_t c = 0; c < columns; ++c) {
      state = state * 1103515245u + 12345u;
      row += "ACGT"[(state >> 16) & 3];
    }
    g.fas += ">" + name + "\n" + row + "\n";
    rows.push_back(row);
  }
  std::string ap1 = "[TF]\nName = AP-1\nMatchType = direct\n[[TABLE]]\n";
  std::string nfkb = "*\n[TF]\nName = NF-kB\nMatchType = length\n[[TABLE]]\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t p = 20 + i; p + 10 < columns; p += 150) {
      ap1 += g.names[i] + " " + std::to_string(p) + " AP1 " +
             rows[i].substr(p - 1, 7) + "\n";
      nfkb += g.names[i] + " " + std::to_string(p + 60) + " NFKB1 9\n";
      g.label_count["AP1"] += 1;
      g.label_count["NFKB1"] += p + 60 + 9 <= columns ? 1 : 0;
    }
  }
  g.tf = ap1 + nfkb + "*\n";
  g.cons =
      "[SCORES]\nScoreNames = ID\nNSummaryStats = 1\n[[STATS]]\n"
      "Thresh\t0.5\n[[TABLE]]\n";
  for (std::size_t start = 1; start + 99 <= columns; start += 100) {
    g.cons += std::to_string(start) + "\t" + std::to_string(start + 99) +
              ((start / 100) % 3 == 0 ? "\t0.1\n" : "\t0.9\n");
  }
  return g;
}

class RenderedDocumentsTest : public testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
  }

  // Runs the batch front end; true when it wrote `out`.
  bool Cli(const std::string& fas, const std::string& tf,
           const std::string& cons, const std::string& out,
           std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {
        "tessarin-cli", "--fas", fas, "--tf", tf, "--cons", cons, "--out", out};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream o, e;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
    EXPECT_LE(status, 1) << e.str();
    return fs::exists(out);
  }

  // The PDF that LibreOffice makes of an RTF document.
  fs::path OfficePdf(const fs::path& rtf) {
    const std::string command =
        "cd '" + dir_.string() + "' && HOME='" + dir_.string() +
        "' timeout 180 soffice -env:UserInstallation=file://" +
        (dir_ / "profile").string() + " --headless --convert-to pdf '" +
        rtf.string() + "' >soffice.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir_ / (rtf.stem().string() + ".pdf");
  }

  // The PDF that Chromium prints of an HTML document.
  fs::path BrowserPdf(const fs::path& html) {
    const fs::path pdf = html.string() + ".pdf";
    const std::string command =
        "cd '" + dir_.string() + "' && HOME='" + dir_.string() +
        "' timeout 180 chromium --headless --no-sandbox --disable-gpu "
        "--no-pdf-header-footer --print-to-pdf='" +
        pdf.string() + "' 'file://" + html.string() + "' >chromium.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return pdf;
  }
};

// In the view documents the first word after "name>" (a row's column 1)
// stands at one x position on every row and track, whatever the name: on
// the name's line, or at the start of the next when the row's letters form
// a word too long for what is left of the line.
void ExpectColumnOneAligned(const std::vector<Word>& words,
                            const std::string& what) {
  std::vector<double> xs;
  const auto lines = Lines(words);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i][0].text.back() != '>') continue;
    if (lines[i].size() >= 2) {
      xs.push_back(lines[i][1].x);
    } else if (i + 1 < lines.size()) {
      xs.push_back(lines[i + 1][0].x);
    }
  }
  ASSERT_GE(xs.size(), 6u) << what;
  for (const double x : xs) EXPECT_NEAR(x, xs[0], 0.6) << what;
}

// In a figure every sequence line is whole on one printed line (name, the
// block's letters, the end position), every label appears whole as often as
// it has sites, and the legend names every factor.
void ExpectFigureReadable(const std::vector<Word>& words,
                          const Generated& input, const std::string& what) {
  std::map<std::string, int> labels;
  std::size_t rows = 0;
  std::vector<double> column_one;
  for (const auto& line : Lines(words)) {
    for (const Word& word : line) {
      if (input.label_count.count(word.text) > 0) ++labels[word.text];
    }
    if (std::find(input.names.begin(), input.names.end(), line[0].text) ==
        input.names.end()) {
      continue;
    }
    ++rows;
    ASSERT_EQ(line.size(), 3u) << what << ": " << line[0].text;
    EXPECT_EQ(line[1].text.size(), 60u) << what;
    column_one.push_back(line[1].x);
  }
  EXPECT_EQ(rows, input.names.size() * 50) << what;
  for (const double x : column_one) EXPECT_NEAR(x, column_one[0], 0.6) << what;
  EXPECT_EQ(labels, input.label_count) << what;
  std::string all;
  for (const Word& word : words) all += word.text + " ";
  EXPECT_NE(all.find("Factors: AP-1 NF-kB"), std::string::npos) << what;
  EXPECT_NE(all.find("conserved window"), std::string::npos) << what;
}

TEST_F(RenderedDocumentsTest, OfficeAndBrowserShowAlignedColumns) {
  if (!Installed("soffice") || !Installed("chromium") ||
      !Installed("pdftotext")) {
    GTEST_SKIP() << "soffice, chromium or pdftotext is not installed";
  }
  const Generated g = Generate();
  const std::string fas = Write("wide.fas", g.fas);
  const std::string tf = Write("wide.tf", g.tf);
  const std::string cons = Write("wide.cons", g.cons);
  const std::string examples = TESSARIN_EXAMPLES;
  const std::string ex_fas = examples + "/promoter.fas";
  const std::string ex_tf = examples + "/promoter.tf";
  const std::string ex_cons = examples + "/promoter.cons";

  for (const char* ext : {".rtf", ".html"}) {
    const bool rtf = std::string(ext) == ".rtf";
    auto pdf = [&](const fs::path& doc) {
      return rtf ? OfficePdf(doc) : BrowserPdf(doc);
    };
    const fs::path example = dir_ / (std::string("example") + ext);
    const fs::path view = dir_ / (std::string("view") + ext);
    const fs::path figure = dir_ / (std::string("figure") + ext);
    ASSERT_TRUE(Cli(ex_fas, ex_tf, ex_cons, example.string()));
    ASSERT_TRUE(Cli(fas, tf, cons, view.string()));
    ASSERT_TRUE(Cli(fas, tf, cons, figure.string(), {"--wrap", "60"}));
    ExpectColumnOneAligned(PdfWords(pdf(example)), example.string());
    ExpectColumnOneAligned(PdfWords(pdf(view)), view.string());
    ExpectFigureReadable(PdfWords(pdf(figure)), g, figure.string());
  }
}

}  // namespace
}  // namespace tessarin
