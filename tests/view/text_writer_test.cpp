#include "view/text_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "view/rich_view.h"

namespace tessarin {
namespace {

TEST(TextWriterTest, WritesEachLineWithLineFeedAndNoFormatting) {
  RichView view;
  std::ostringstream empty;
  WriteText(view, empty);
  EXPECT_EQ(empty.str(), "");

  view.AppendLine("a\tb{\\}");
  view.AppendLine("");
  view.AppendLine(std::string("\xE9\0z", 3));
  SetRangeStyle(view, 0, 0, 4, kFontBold);
  std::ostringstream out;
  WriteText(view, out);
  EXPECT_EQ(out.str(), std::string("a\tb{\\}\n\n\xE9\0z\n", 12));
}

}  // namespace
}  // namespace tessarin
