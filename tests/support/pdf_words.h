// The words of a PDF with their positions, as pdftotext -bbox reads them,
// and the printed lines they form: how tests see where text lands on a page.
#ifndef TESSARIN_TESTS_SUPPORT_PDF_WORDS_H_
#define TESSARIN_TESTS_SUPPORT_PDF_WORDS_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/temp_folder_test.h"

namespace tessarin::testing {

namespace fs = std::filesystem;

struct Word {
  int page;
  double x, y;
  std::string text;
};

// The words of a PDF with their positions, by pdftotext -bbox.
inline std::vector<Word> PdfWords(const fs::path& pdf) {
  const fs::path html = pdf.string() + ".bbox.html";
  const std::string command =
      "pdftotext -bbox '" + pdf.string() + "' '" + html.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  const std::string text = ReadFile(html);
  std::vector<Word> words;
  int page = 0;
  const std::regex token(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
  for (std::sregex_iterator it(text.begin(), text.end(), token), end; it != end;
       ++it) {
    if ((*it)[0].str() == "<page ") {
      ++page;
      continue;
    }
    std::string word = (*it)[3];
    word = std::regex_replace(word, std::regex("&gt;"), ">");
    word = std::regex_replace(word, std::regex("&amp;"), "&");
    words.push_back({page, std::stod((*it)[1]), std::stod((*it)[2]), word});
  }
  return words;
}

// The words of each printed line, left to right, lines top to bottom
// (pdftotext gives the words in reading order, which may take a column of
// names before the column of letters).
inline std::vector<std::vector<Word>> Lines(std::vector<Word> words) {
  std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
    const long ay = std::lround(a.y * 2);
    const long by = std::lround(b.y * 2);
    if (a.page != b.page) return a.page < b.page;
    if (ay != by) return ay < by;
    return a.x < b.x;
  });
  std::vector<std::vector<Word>> lines;
  for (const Word& word : words) {
    if (lines.empty() || lines.back()[0].page != word.page ||
        std::fabs(lines.back()[0].y - word.y) > 1.0) {
      lines.push_back({});
    }
    lines.back().push_back(word);
  }
  return lines;
}

}  // namespace tessarin::testing

#endif  // TESSARIN_TESTS_SUPPORT_PDF_WORDS_H_
