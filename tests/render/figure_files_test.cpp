// The painted figures of the bundled example as a reader sees them: the PDF
// through pdftotext, the SVG parsed as XML, the PNG's size; and the batch
// front end's other formats on a machine without a display.
#include "render/figure_files.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <numeric>
#include <regex>
#include <set>
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

const std::string kExamples = TESSARIN_EXAMPLES;
constexpr std::size_t kSequences = 6;
constexpr std::uint32_t kYellow = 0x00FFFF;  // as stored: red lowest

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1")
                         .c_str()) == 0;
}

// The values of every line of `file` that starts with `key`.
std::vector<std::string> Keyed(const std::string& file,
                               const std::string& key) {
  std::ifstream in(kExamples + "/" + file);
  std::vector<std::string> values;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) == 0) values.push_back(line.substr(key.size()));
  }
  return values;
}

// The output of `command`, run by the shell.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

class FigureFilesTest : public testing::TempFolderTest {
 protected:
  // One renderer (and so one offscreen application) for the suite, ended
  // before the program's static objects are.
  static void SetUpTestSuite() { renderer_ = new QtFigureRenderer; }
  static void TearDownTestSuite() {
    delete renderer_;
    renderer_ = nullptr;
  }

  void SetUp() override {
    TempFolderTest::SetUp();
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
  }

  // Runs the batch front end on the bundled example; returns standard
  // output.
  std::string Cli(std::vector<std::string> extra) {
    std::vector<std::string> args = {"tessarin-cli",
                                     "--fas",
                                     kExamples + "/promoter.fas",
                                     "--tf",
                                     kExamples + "/promoter.tf",
                                     "--cons",
                                     kExamples + "/promoter.cons"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(
        RunCli(static_cast<int>(argv.size()), argv.data(), out, err, renderer_),
        kExitClean)
        << err.str();
    return out.str();
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }

  static QtFigureRenderer* renderer_;
};

QtFigureRenderer* FigureFilesTest::renderer_ = nullptr;

// The PDF holds the title, every factor and every row name; column 1 stands
// at one x on every row of every page; no block is split across pages; the
// page is the one asked for.
TEST_F(FigureFilesTest, PdfHoldsTheFigureWithColumnOneAligned) {
  if (!Installed("pdftotext") || !Installed("pdfinfo")) {
    GTEST_SKIP() << "poppler-utils not installed";
  }
  struct Case {
    std::vector<std::string> options;
    std::string page_size;  // as pdfinfo prints it
  };
  const std::vector<Case> cases = {
      {{}, "842 x 595 pts (A4)"},
      {{"--page", "letter"}, "792 x 612 pts (letter)"},
      {{"--page", "a4-portrait", "--wrap", "100"}, "595 x 842 pts (A4)"},
  };
  const std::vector<std::string> names = Keyed("promoter.fas", ">");
  ASSERT_EQ(names.size(), kSequences);
  for (const Case& c : cases) {
    const std::string pdf = Path("fig.pdf");
    std::vector<std::string> options = {"--out", pdf, "--title",
                                        "Promoter figure"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    Cli(options);
    const std::string what = c.page_size;
    EXPECT_NE(Output("pdfinfo '" + pdf + "'").find(c.page_size),
              std::string::npos)
        << what;
    const std::string text = Output("pdftotext '" + pdf + "' -");
    std::vector<std::string> wanted = Keyed("promoter.tf", "Name = ");
    wanted.push_back("Promoter figure");
    wanted.insert(wanted.end(), names.begin(), names.end());
    for (const std::string& word : wanted) {
      EXPECT_NE(text.find(word), std::string::npos) << word << " " << what;
    }

    std::vector<double> xs;
    std::map<int, std::size_t> rows_per_page;
    for (const auto& line : Lines(PdfWords(pdf))) {
      if (std::find(names.begin(), names.end(), line[0].text) == names.end() ||
          line.size() < 3) {
        continue;  // not a row: the legend, a provenance line
      }
      xs.push_back(line[1].x);
      ++rows_per_page[line[0].page];
    }
    ASSERT_GE(xs.size(), 2 * kSequences) << what;
    for (const double x : xs) EXPECT_NEAR(x, xs[0], 0.01) << what;
    for (const auto& [page, rows] : rows_per_page) {
      EXPECT_EQ(rows % kSequences, 0u) << "page " << page << " " << what;
    }
  }
}

struct SvgBlock {
  std::vector<std::string> lines;  // every text element's characters
  std::size_t rows = 0;            // of them, class "row"
  std::size_t yellow = 0;          // rectangles filled #ffff00
  // In the conservation plot above the block:
  std::size_t curves = 0;     // path.curve
  std::size_t cutoffs = 0;    // line.cutoff
  std::size_t conserved = 0;  // rect.conserved
};

std::vector<SvgBlock> ReadSvgBlocks(const std::string& svg) {
  std::vector<SvgBlock> blocks;
  QXmlStreamReader reader(QByteArray::fromStdString(svg));
  bool in_block = false;
  int inner_groups = 0;  // groups open inside the block (the plot's)
  int text_depth = 0;
  while (!reader.atEnd()) {
    reader.readNext();
    const auto attribute = [&](const char* name) {
      return reader.attributes().value(QString::fromLatin1(name)).toString();
    };
    if (reader.isStartElement()) {
      const QStringView name = reader.name();
      const QString kind = attribute("class");
      if (name == u"g" && in_block) {
        ++inner_groups;
      } else if (name == u"g") {
        in_block = kind == u"block";
        if (in_block) blocks.emplace_back();
      } else if (in_block && inner_groups > 0) {
        SvgBlock& block = blocks.back();
        block.curves += name == u"path" && kind == u"curve" ? 1 : 0;
        block.cutoffs += name == u"line" && kind == u"cutoff" ? 1 : 0;
        block.conserved += name == u"rect" && kind == u"conserved" ? 1 : 0;
      } else if (in_block && name == u"text") {
        blocks.back().lines.emplace_back();
        if (kind == u"row") ++blocks.back().rows;
        ++text_depth;
      } else if (in_block && name == u"rect" &&
                 attribute("fill") == u"#ffff00") {
        ++blocks.back().yellow;
      }
    } else if (reader.isEndElement() && reader.name() == u"g") {
      if (inner_groups > 0) {
        --inner_groups;
      } else {
        in_block = false;
      }
    } else if (reader.isEndElement() && reader.name() == u"text" &&
               text_depth > 0) {
      --text_depth;
    } else if (reader.isCharacters() && text_depth > 0) {
      blocks.back().lines.back() += reader.text().toLatin1().toStdString();
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return blocks;
}

// The SVG holds, per block, one text element per line of the text figure
// (one per row) with the same characters, and one rectangle per span of
// yellow columns of a row within the block.
TEST_F(FigureFilesTest, SvgHoldsEachBlockLineAndOneRectPerWindowSpan) {
  constexpr std::size_t kWrap = 40;
  const std::string wrap = std::to_string(kWrap);
  Cli({"--out", Path("fig.svg"), "--wrap", wrap});
  const std::vector<SvgBlock> blocks = ReadSvgBlocks(ReadFile(Path("fig.svg")));

  // The text figure's block lines: every non-empty line after the header.
  std::istringstream text(Cli({"--format", "text", "--wrap", wrap}));
  std::vector<std::string> expected_lines;
  bool header = true;
  for (std::string line; std::getline(text, line);) {
    if (line.empty()) header = false;
    if (!header && !line.empty()) expected_lines.push_back(line);
  }
  std::vector<std::string> lines;
  for (const SvgBlock& block : blocks) {
    EXPECT_EQ(block.rows, kSequences);
    lines.insert(lines.end(), block.lines.begin(), block.lines.end());
  }
  EXPECT_EQ(lines, expected_lines);

  // The yellow spans of each row within each block, from the view's runs.
  const auto view =
      nlohmann::json::parse(Cli({"--format", "json", "--palette", "distinct"}));
  std::vector<std::size_t> expected_yellow(blocks.size(), 0);
  for (const auto& row : view["lineIndex"]) {
    const std::string line = view["lines"][row.get<std::size_t>()];
    const std::size_t prefix = line.find('\t') + 1;
    std::vector<bool> yellow(line.size(), false);
    for (const auto& run : view["runs"]) {
      if (run["line"] != row || run["back"] != kYellow) continue;
      for (std::size_t i = 0; i < run["len"].get<std::size_t>(); ++i) {
        yellow[run["col"].get<std::size_t>() + i] = true;
      }
    }
    for (std::size_t c = prefix; c < line.size(); ++c) {
      const bool starts = (c - prefix) % kWrap == 0 || !yellow[c - 1];
      if (yellow[c] && starts) ++expected_yellow.at((c - prefix) / kWrap);
    }
  }
  std::vector<std::size_t> yellow;
  for (const SvgBlock& block : blocks) yellow.push_back(block.yellow);
  EXPECT_EQ(yellow, expected_yellow);

  // The plot over each block: a curve and a cut-off per score (ML, PI,
  // DIST), and in each score's strip one shaded span per stretch of yellow
  // columns within the block (the same on every row: row 0's).
  const std::string first = view["lines"][0];
  const std::size_t prefix = first.find('\t') + 1;
  std::vector<bool> yellow_column(first.size(), false);
  for (const auto& run : view["runs"]) {
    if (run["line"] != 0 || run["back"] != kYellow) continue;
    for (std::size_t i = 0; i < run["len"].get<std::size_t>(); ++i) {
      yellow_column[run["col"].get<std::size_t>() + i] = true;
    }
  }
  std::vector<std::size_t> expected_spans(blocks.size(), 0);
  for (std::size_t c = prefix; c < first.size(); ++c) {
    const bool starts = (c - prefix) % kWrap == 0 || !yellow_column[c - 1];
    if (yellow_column[c] && starts) {
      expected_spans.at((c - prefix) / kWrap) += 3;
    }
  }
  std::vector<std::size_t> spans;
  for (const SvgBlock& block : blocks) {
    EXPECT_EQ(block.curves, 3u);
    EXPECT_EQ(block.cutoffs, 3u);
    spans.push_back(block.conserved);
  }
  EXPECT_EQ(spans, expected_spans);
  EXPECT_GT(std::accumulate(yellow.begin(), yellow.end(), std::size_t{0}), 0u);
}

// The PNG is the SVG's size in points at the resolution asked for: the
// widest block line's cells (or the header's), the rows and the margins.
TEST_F(FigureFilesTest, PngSizeFollowsTheFigureAndTheResolution) {
  Cli({"--out", Path("fig.svg")});
  const std::string svg = ReadFile(Path("fig.svg"));
  std::smatch size;
  ASSERT_TRUE(std::regex_search(
      svg, size, std::regex(R"re(width="([\d.]+)pt" height="([\d.]+)pt")re")));
  const double width = std::stod(size[1]);
  const double height = std::stod(size[2]);
  // Name (7), gutter (2), 60 columns, a blank and the end position (3), in
  // cells of DejaVu Sans Mono at 9 points, and the margins.
  EXPECT_NEAR(width, 2 * kPictureMarginPoints + 73 * 9 * 1233.0 / 2048, 0.1);
  for (const int dpi : {72, 150, 300}) {
    Cli({"--out", Path("fig.png"), "--dpi", std::to_string(dpi)});
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString(Path("fig.png")), "PNG"));
    EXPECT_EQ(png.width(), static_cast<int>(std::ceil(width * dpi / 72 - 0.01)))
        << dpi;
    EXPECT_EQ(png.height(),
              static_cast<int>(std::ceil(height * dpi / 72 - 0.01)))
        << dpi;
    EXPECT_EQ(png.dotsPerMeterX(), std::lround(dpi / 0.0254)) << dpi;
  }
}

// Every format that is not painted runs with no display, no platform and no
// Qt plugins to be found.
TEST_F(FigureFilesTest, OtherFormatsNeedNoDisplay) {
  const std::string cli = TESSARIN_CLI;
  const std::string inputs = " --fas " + kExamples + "/promoter.fas --tf " +
                             kExamples + "/promoter.tf --cons " + kExamples +
                             "/promoter.cons";
  for (const std::string format : {"json", "text", "html", "rtf"}) {
    const std::string out = Path("view." + format);
    const std::string command =
        "env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "
        "QT_PLUGIN_PATH=/nonexistent "
        "QT_QPA_PLATFORM_PLUGIN_PATH=/nonexistent " +
        cli + inputs + " --format " + format + " --out " + out + " 2>" +
        Path("err.txt");
    EXPECT_EQ(std::system(command.c_str()), 0) << format;
    EXPECT_EQ(ReadFile(Path("err.txt")), "") << format;
    EXPECT_GT(fs::file_size(out), 1000u) << format;
  }
}

// The batch front end loads the painter from its module only for a painted
// figure: the module's SVG is the linked painter's, byte for byte, a run
// that paints nothing never loads Qt, and a module that cannot be found is
// reported.
TEST_F(FigureFilesTest, TheBatchFrontEndLoadsThePainterOnlyForFigures) {
  const std::string command = std::string(TESSARIN_CLI) + " --fas " +
                              kExamples + "/promoter.fas --tf " + kExamples +
                              "/promoter.tf --cons " + kExamples +
                              "/promoter.cons --format ";
  EXPECT_EQ(Output(command + "svg"), Cli({"--format", "svg"}));
  const std::string loaded =
      Output("LD_DEBUG=files " + command + "json 2>&1 >/dev/null");
  EXPECT_NE(loaded.find("libc.so"), std::string::npos);
  EXPECT_EQ(loaded.find("Qt6Gui"), std::string::npos);

  // A copy of the program in a folder of its own finds no module.
  const std::string alone = Path("tessarin-cli");
  fs::copy_file(TESSARIN_CLI, alone);
  const std::string said =
      Output(alone + command.substr(std::string(TESSARIN_CLI).size()) +
             "svg 2>&1 >/dev/null; echo status $?");
  EXPECT_NE(said.find("could not be loaded"), std::string::npos) << said;
  EXPECT_EQ(said.find("status 0"), std::string::npos) << said;
}

}  // namespace
}  // namespace tessarin
