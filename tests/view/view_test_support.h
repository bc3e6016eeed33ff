// Shared by the view tests: a small annotated view and golden-file checks.
#ifndef TESSARIN_TESTS_VIEW_VIEW_TEST_SUPPORT_H_
#define TESSARIN_TESTS_VIEW_VIEW_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "sources/reading_in.h"
#include "text/message_sink.h"
#include "view/annotated_view.h"
#include "view/conservation_highlight.h"
#include "view/rich_view.h"
#include "view/tf_annotation.h"

namespace tessarin::view_test {

// Two sequence rows with a track, formatted as annotation does (a site
// underlined in its factor's colour, one letter bold and one struck out, a
// yellow window), plus a row whose name holds characters that every document
// format must escape, coloured with a system colour, the explicit
// window-text colour and a value with a fourth byte.
inline void BuildSampleView(RichView& view) {
  view.AppendLine("human> \tAAC-GTGACTCAT");
  view.AppendLine("human> \t...AP1.......");
  view.AppendLine("m{o}u\\se <&\"'\xE9\x80> \tAAC-GTGTCTCAT");
  view.AppendLine("");
  SetRangeStyle(view, 0, 12, 4, kFontUnderline);
  SetRangeColor(view, 0, 12, 4, 0x0000FF);
  AddRangeStyle(view, 0, 12, 1, kFontBold);
  AddRangeStyle(view, 0, 13, 1, kFontStrikeOut);
  SetRangeBackColor(view, 0, 14, 6, 0x00FFFF);
  SetRangeBackColor(view, 2, 20, 6, 0x00FFFF);
  SetRangeColor(view, 2, 0, 4, 0x80000000);
  SetRangeStyle(view, 2, 4, 3, kFontItalic);
  SetRangeColor(view, 2, 4, 3, 0xFF000008);
  SetRangeColor(view, 2, 22, 2, 0x1200FF00);
}

// The bundled example read in, annotated and highlighted with every score
// as a criterion, into `data` and `annotated`.
inline void AnnotateExample(ReadInData& data, AnnotatedView& annotated) {
  NullSink sink;
  const std::string examples = TESSARIN_EXAMPLES;
  ReadInFiles(examples + "/promoter.fas", examples + "/promoter.tf",
              examples + "/promoter.cons", data, sink);
  AnnotateTFSites(data, annotated, sink);
  const AByte criteria(data.conservation.ScoreNames.size(), 1);
  HighlightConservedWindows(data, criteria, annotated);
}

inline std::string TestDataPath(const std::string& name) {
  return std::string(TESSARIN_TEST_DATA) + "/" + name;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Compares `actual` byte for byte with tests/data/<name>. With
// TESSARIN_UPDATE_GOLDEN=1 in the environment the file is rewritten instead
// (review the diff before committing it).
inline void ExpectMatchesGolden(const std::string& actual,
                                const std::string& name) {
  const std::string path = TestDataPath(name);
  if (const char* update = std::getenv("TESSARIN_UPDATE_GOLDEN");
      update != nullptr && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  EXPECT_EQ(actual, ReadFileBytes(path)) << "golden file " << path;
}

// Every byte value but the line feed, in order: the hardest line a document
// writer can be given.
inline std::string AllBytesButLineFeed() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\n') bytes.push_back(static_cast<char>(b));
  }
  return bytes;
}

}  // namespace tessarin::view_test

#endif  // TESSARIN_TESTS_VIEW_VIEW_TEST_SUPPORT_H_
