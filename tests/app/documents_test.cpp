// Whatever the input files hold, every document the pipeline writes is well
// formed, uses only its writer's vocabulary, and carries the view exactly:
// over the fuzz corpus, over texts written to break out of a document, and
// over random bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/html_reader.h"
#include "support/json_reader.h"
#include "support/pipeline.h"
#include "support/rtf_reader.h"
#include "support/temp_folder_test.h"
#include "text/strings.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using harness::Pipeline;
using harness::PipelineParts;
using harness::PipelineResult;
using testing::ReadFile;

PipelineParts Example() {
  const fs::path examples = TESSARIN_EXAMPLES;
  return {ReadFile(examples / "promoter.fas"),
          ReadFile(examples / "promoter.tf"),
          ReadFile(examples / "promoter.cons"), ""};
}

TEST(DocumentsTest, FuzzCorpusAndExampleGiveWellFormedDocuments) {
  const Pipeline pipeline;
  const PipelineResult example = pipeline.Run(Example());
  ASSERT_GT(example.lines.size(), 6u);
  EXPECT_EQ(harness::DocumentProblems(example), "");

  std::vector<fs::path> inputs;
  for (const auto& entry :
       fs::directory_iterator(fs::path(TESSARIN_FUZZ_CORPUS) / "pipeline")) {
    inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  ASSERT_FALSE(inputs.empty());
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    EXPECT_EQ(harness::DocumentProblems(pipeline.Run(ReadFile(input))), "");
  }
}

TEST(DocumentsTest, MarkupInNamesLabelsAndLettersStaysText) {
  // Each text tries to end a group, add a control word or a destination,
  // close <pre>, add an element or an attribute, or sneak in a reference.
  const std::vector<std::string> hostile = {
      "{\\rtf1\\par}",
      "}}{\\field{\\*\\fldinst HYPERLINK x}}",
      "\\'41\\u8364?\\bin5 ",
      "</pre><script>alert(1)</script>",
      "<span class=\"c1\" onclick=\"x\">",
      "&amp;&#60;&lt",
      "\"'`=>",
  };
  std::string all_bytes;
  for (int byte = 0; byte < 256; ++byte) {
    if (byte != '\n' && byte != '\r' && byte != 26 && byte != '>') {
      all_bytes += static_cast<char>(byte);
    }
  }
  const Pipeline pipeline;
  for (const std::string& text : hostile) {
    SCOPED_TRACE(text);
    // As one field of a TF table row, and without a header's '>'.
    std::string token = text;
    std::erase_if(token, [](char c) { return c == ' ' || c == '>'; });
    const std::string letters = token + all_bytes;
    PipelineParts parts;
    parts.fas = ">" + token + "\n" + letters + "\n";
    parts.tf = "[TF]\nName = X\nMatchType = length\n[[TABLE]]\n" + token +
               " 1 " + token + " 3\n*\n";
    parts.cons =
        "[SCORES]\nScoreNames = ML\nNSummaryStats = 1\n[[STATS]]\n"
        "Thresh 0.5\n[[TABLE]]\n1 9 0.1\n*\n";
    const PipelineResult result = pipeline.Run(parts);
    const std::string prefix = token + "> \t";
    ASSERT_EQ(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[0], prefix + UpperAscii(letters));
    EXPECT_EQ(result.lines[1].substr(0, prefix.size() + token.size()),
              prefix + token);
    EXPECT_EQ(harness::DocumentProblems(result), "");
  }
}

TEST(DocumentsTest, RandomInputsGiveWellFormedDocuments) {
  std::mt19937 random(20240612);
  const std::vector<std::string> pieces = {">",
                                           ">s\n",
                                           "ACGT",
                                           "-",
                                           "~",
                                           "\n",
                                           "\r",
                                           "\x1a",
                                           "[TF]\n",
                                           "*\n",
                                           "Name = A\n",
                                           "MatchType = ",
                                           "direct\n",
                                           "case-sensitive\n",
                                           "length\n",
                                           "[[TABLE]]\n",
                                           "s 1 L AC\n",
                                           "s -1 L 2\n",
                                           "[SCORES]\n",
                                           "ScoreNames = ML,B\n",
                                           "NSummaryStats = 1\n",
                                           "[[STATS]]\n",
                                           "Thresh 0.5 9\n",
                                           "1 3 0.1 N/A\n",
                                           "0 99 -1 0\n",
                                           "{\\b}",
                                           "<i>&",
                                           std::string(1, '\0'),
                                           "\xff",
                                           "\t",
                                           " "};
  const Pipeline pipeline;
  for (int round = 0; round < 150; ++round) {
    PipelineParts parts;
    for (std::string* part : {&parts.fas, &parts.tf, &parts.cons}) {
      const int length = static_cast<int>(random() % 40);
      for (int i = 0; i < length; ++i) {
        if (round % 3 == 0) {
          *part += static_cast<char>(random() % 256);
        } else {
          *part += pieces[random() % pieces.size()];
        }
      }
    }
    for (int i = 0; i < 8; ++i) parts.options += static_cast<char>(random());
    const std::string problems = harness::DocumentProblems(pipeline.Run(parts));
    ASSERT_EQ(problems, "") << harness::JoinPipelineInput(parts);
  }
}

TEST(DocumentsTest, ChecksRejectForeignOrBrokenDocuments) {
  const std::string rtf_head =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Courier New;}}"
      "{\\colortbl;\\red0\\green0\\blue255;}\\pard\\plain\\f0\\fs22\n";
  EXPECT_EQ(harness::RtfProblem(rtf_head + "{\\cf1 a}\\par\n}", "a\n"), "");
  for (const char* body :
       {"{\\object a}\\par\n}", "a\\par\n", "a\\par\n}}", "{\\cf2 a}\\par\n}",
        "\\~a\\par\n}", "a\\par\n}x", "b\\par\n}"}) {
    EXPECT_NE(harness::RtfProblem(rtf_head + body, "a\n"), "") << body;
  }

  const std::string page =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"windows-1252\">\n"
      "<title>t</title>\n<style>\n</style>\n</head>\n<body>\n<pre>\n";
  EXPECT_EQ(harness::HtmlProblem(
                page + "<span class=\"c1\">a&lt;</span>\n</pre>\n</body>\n"
                       "</html>\n",
                "a<\n"),
            "");
  for (const char* body :
       {"<b>a</b>\n", "<span class=\"c1\" id=\"x\">a</span>\n",
        "<span class=\"x1\">a</span>\n", "<span class=\"c1\">a\n", "a&nbsp;\n",
        "a>\n", "b\n"}) {
    EXPECT_NE(
        harness::HtmlProblem(page + body + "</pre>\n</body>\n</html>\n", "a\n"),
        "")
        << body;
  }

  const harness::JsonExpectation expected{{"\xe9"}, {}, {}, "", {}};
  const std::string keys_after_lines =
      ", \"lineIndex\": [], \"runs\": [], \"messages\": [], \"status\": \"\", "
      "\"inspect\": []}";
  EXPECT_EQ(harness::JsonProblem("{\"lines\": [\"\\u00e9\"]" + keys_after_lines,
                                 expected),
            "");
  for (const std::string& json :
       {"{\"lines\": [\"\\u0119\"]" + keys_after_lines,
        "{\"lines\": [\"e\"]" + keys_after_lines,
        std::string("{\"lines\": [\"\\u00e9\"]}"),
        std::string("{\"lines\": [\"\\u00e9\"]") + keys_after_lines + ","}) {
    EXPECT_NE(harness::JsonProblem(json, expected), "") << json;
  }
}

}  // namespace
}  // namespace tessarin
