#include "view/json_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/json_reader.h"
#include "tests/view/view_test_support.h"
#include "view/rich_view.h"

namespace tessarin {
namespace {

using nlohmann::json;
using view_test::AllBytesButLineFeed;
using view_test::BuildSampleView;

std::string Json(const RichView& view, const JsonDocumentExtras& extras = {}) {
  std::ostringstream out;
  WriteJson(view, extras, out);
  return out.str();
}

// A JSON string back to bytes: every code point must be below 256.
std::string Bytes(const json& value) {
  const std::optional<std::string> bytes =
      harness::JsonBytes(value.get<std::string>());
  EXPECT_TRUE(bytes) << "code point above 255";
  return bytes.value_or("");
}

TEST(JsonWriterTest, SampleMatchesGoldenFile) {
  RichView view;
  BuildSampleView(view);
  JsonDocumentExtras extras;
  extras.line_index = {0, 2};
  extras.messages = {"Could not find position 40 in \"human\"",
                     "Could not find position 40 in \"human\""};
  extras.status = "Conservation plotting completed.";
  extras.inspect = {"human: +Gaps: Pos=3 L=3 -Gaps: Pos=2 L=2 >GT", ""};
  view_test::ExpectMatchesGolden(Json(view, extras), "view_sample.json");
}

TEST(JsonWriterTest, EveryByteSurvivesAsItsOwnCodePoint) {
  RichView view;
  view.AppendLine(AllBytesButLineFeed());
  view.AppendLine("\"\\}\x7F\xFF");
  JsonDocumentExtras extras;
  extras.messages = {AllBytesButLineFeed() + "\n"};
  extras.status = "\xE9t\xE9";
  extras.inspect = {std::string("\0\x80", 2)};

  const json document = json::parse(Json(view, extras));
  ASSERT_EQ(document["lines"].size(), 2u);
  EXPECT_EQ(Bytes(document["lines"][0]), view.Line(0));
  EXPECT_EQ(Bytes(document["lines"][1]), view.Line(1));
  EXPECT_EQ(Bytes(document["messages"][0]), extras.messages[0]);
  EXPECT_EQ(Bytes(document["status"]), extras.status);
  EXPECT_EQ(Bytes(document["inspect"][0]), extras.inspect[0]);
  EXPECT_EQ(document["status"].get<std::string>(), "\xC3\xA9t\xC3\xA9");
}

TEST(JsonWriterTest, RunsSplitAtLineEndsAndKeepStoredValues) {
  RichView view;
  view.AppendLine("AACC");
  view.AppendLine("GGTT");
  SetRangeColor(view, 0, 2, 4, 0xFF000008);  // C C, line end, G
  SetRangeBackColor(view, 1, 1, 1, 0x80000000);
  SetRangeColor(view, 1, 3, 1, 0xFFFFFFFF);
  SetRangeStyle(view, 1, 3, 1, kFontBold | kFontStrikeOut);

  const json runs = json::parse(Json(view))["runs"];
  const json expected = json::parse(R"([
    {"line": 0, "col": 2, "len": 2, "color": 4278190088, "back": null, "style": 0},
    {"line": 1, "col": 0, "len": 1, "color": 4278190088, "back": null, "style": 0},
    {"line": 1, "col": 1, "len": 1, "color": null, "back": 2147483648, "style": 0},
    {"line": 1, "col": 3, "len": 1, "color": 4294967295, "back": null, "style": 9}
  ])");
  EXPECT_EQ(runs, expected);
}

TEST(JsonWriterTest, EmptyViewHasEmptyArraysInKeyOrder) {
  RichView view;
  const std::string text = Json(view);
  EXPECT_EQ(text,
            "{\n"
            "  \"lines\": [],\n"
            "  \"lineIndex\": [],\n"
            "  \"runs\": [],\n"
            "  \"messages\": [],\n"
            "  \"status\": \"\",\n"
            "  \"inspect\": []\n"
            "}\n");
}

}  // namespace
}  // namespace tessarin
