#include "view/rtf_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/rtf_reader.h"
#include "tests/view/view_test_support.h"
#include "view/rich_view.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using view_test::AllBytesButLineFeed;
using view_test::BuildSampleView;

std::string Rtf(const RichView& view) {
  std::ostringstream out;
  WriteRtf(view, out);
  return out.str();
}

TEST(RtfWriterTest, SampleMatchesGoldenFile) {
  RichView view;
  BuildSampleView(view);
  view_test::ExpectMatchesGolden(Rtf(view), "view_sample.rtf");
}

TEST(RtfWriterTest, HostileTextAddsNoControlWordOrGroup) {
  RichView view;
  view.AppendLine(AllBytesButLineFeed());
  view.AppendLine(
      "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt x}}");
  view.AppendLine("}}}\\par\\pard{\\object\\'4\\");
  view.AppendLine("\ttab\\tab x\t 9");
  // Runs start and end inside the hostile bytes; one run looks plain.
  SetRangeStyle(view, 0, 90, 40, kFontBold);
  SetRangeColor(view, 0, 120, 20, 0xFF000008);
  SetRangeBackColor(view, 1, 1, 7, 0x00FFFF);
  SetRangeColor(view, 2, 0, 4, 0x0000FF);
  SetRangeStyle(view, 3, 0, 4, kFontUnderline);

  // The strict reader refuses an unbalanced group, a control word or symbol
  // that is not the writer's and a colour outside the table.
  const harness::RtfReading reading = harness::ReadRtf(Rtf(view));
  EXPECT_EQ(reading.problem, "");
  EXPECT_LE(reading.max_depth, 3u);
  EXPECT_EQ(reading.text, view.Text());
}

TEST(RtfWriterTest, EqualNeighboursShareOneRunAndColoursAreListedOnce) {
  RichView view;
  view.AppendLine("AACCGGTT");
  SetRangeColor(view, 0, 0, 2, 0x0000FF);
  SetRangeColor(view, 0, 2, 2, 0x0000FF);      // same attributes: same run
  SetRangeBackColor(view, 0, 4, 2, 0x0000FF);  // same RGB as a background
  SetRangeColor(view, 0, 6, 2, 0xFF000008);    // automatic: no colour word

  const std::string rtf = Rtf(view);
  const harness::RtfReading reading = harness::ReadRtf(rtf);
  EXPECT_EQ(reading.words.count("red"), 1u);
  EXPECT_EQ(reading.words.count("cf"), 1u);
  EXPECT_EQ(reading.words.count("chcbpat"), 1u);
  EXPECT_NE(rtf.find("{\\cf1 AACC}{\\chshdng0\\chcbpat1\\cb1 GG}TT\\par"),
            std::string::npos)
      << rtf;
}

// ---- Round trip through LibreOffice, when it is installed ----

// The plain text of flat ODT markup: tabs and space runs expanded, other
// elements dropped, entities decoded.
std::string OdtText(const std::string& xml) {
  std::string text = std::regex_replace(xml, std::regex("<text:tab/>"), "\t");
  text = std::regex_replace(text, std::regex("<text:s/>"), " ");
  text = std::regex_replace(text, std::regex("<[^>]*>"), "");
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"},
      {"&gt;", ">"},
      {"&quot;", "\""},
      {"&apos;", "'"},
      {"&amp;", "&"}};
  for (const auto& [entity, plain] : kEntities) {
    text = std::regex_replace(text, std::regex(entity), plain);
  }
  return text;
}

// Converts `rtf` with LibreOffice to flat ODT in a fresh folder.
std::string ConvertWithLibreOffice(const std::string& rtf) {
  const fs::path dir = fs::temp_directory_path() /
                       ("tessarin_rtf_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "home");
  std::ofstream(dir / "view.rtf", std::ios::binary) << rtf;
  const std::string command =
      "cd '" + dir.string() + "' && HOME='" + (dir / "home").string() +
      "' timeout 180 soffice -env:UserInstallation=file://" +
      (dir / "home" / "profile").string() +
      " --headless --convert-to fodt view.rtf >soffice.log 2>&1";
  const int status = std::system(command.c_str());
  std::string xml = view_test::ReadFileBytes((dir / "view.fodt").string());
  EXPECT_EQ(status, 0) << view_test::ReadFileBytes(
      (dir / "soffice.log").string());
  fs::remove_all(dir);
  return xml;
}

TEST(RtfWriterTest, LibreOfficeReadsTextColoursAndStyles) {
  if (std::system("command -v soffice >/dev/null") != 0) {
    GTEST_SKIP() << "soffice is not installed";
  }
  RichView view;
  BuildSampleView(view);
  view.AppendLine(" lead {\\b x}  \\par <&> ;");
  const std::string xml = ConvertWithLibreOffice(Rtf(view));
  EXPECT_EQ(xml.find("<text:a "), std::string::npos);  // no link, no field
  EXPECT_EQ(xml.find("<text:bookmark"), std::string::npos);

  // Paragraphs in order, one per line; 0xE9 and 0x80 read as code page 1252.
  std::vector<std::string> paragraphs;
  const std::regex paragraph_re("<text:p[^>]*/>|<text:p[^>]*>(.*?)</text:p>");
  for (std::sregex_iterator it(xml.begin(), xml.end(), paragraph_re), end;
       it != end; ++it) {
    paragraphs.push_back(OdtText((*it)[1]));
  }
  const std::vector<std::string> expected = {
      std::string(view.Line(0)), std::string(view.Line(1)),
      "m{o}u\\se <&\"'\xC3\xA9\xE2\x82\xAC> \tAAC-GTGTCTCAT", "",
      std::string(view.Line(4))};
  EXPECT_EQ(paragraphs, expected);

  // Some text style carries each combination the sample uses.
  const std::regex properties_re("<style:text-properties ([^>]*)/>");
  auto has_style = [&](std::initializer_list<std::string> wanted) {
    for (std::sregex_iterator it(xml.begin(), xml.end(), properties_re), end;
         it != end; ++it) {
      const std::string properties = (*it)[1];
      bool all = true;
      for (const std::string& w : wanted) {
        all = all && properties.find(w) != std::string::npos;
      }
      if (all) return true;
    }
    return false;
  };
  const std::string red = "fo:color=\"#ff0000\"";
  const std::string underline = "style:text-underline-style=\"solid\"";
  EXPECT_TRUE(has_style({red, underline, "fo:font-weight=\"bold\""}));
  EXPECT_TRUE(
      has_style({red, underline, "style:text-line-through-style=\"solid\""}));
  EXPECT_TRUE(has_style({red, underline, "fo:background-color=\"#ffff00\""}));
  EXPECT_TRUE(has_style({"fo:color=\"#c8c8c8\"", "Courier New"}));
}

}  // namespace
}  // namespace tessarin
