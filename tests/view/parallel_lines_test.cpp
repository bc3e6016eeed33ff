#include "view/parallel_lines.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {
namespace {

// Lines of varied length, `text` characters in all, so that the chunks end
// at different places.
void FillView(RichView& view, std::size_t text) {
  for (std::size_t i = 0, used = 0; used < text; ++i) {
    const std::string line(i % 7 == 0 ? 70000 : i % 50, 'a' + i % 26);
    view.AppendLine(std::to_string(i) + ":", line);
    used += line.size() + 8;
  }
}

void WriteAll(const RichView& view, const LineWriter& write_line,
              std::ostream& stream) {
  DocumentOut out(stream);
  WriteLinesInParallel(view, write_line, out);
}

const LineWriter kNumbered = [](std::size_t line, DocumentOut& out) {
  out.Append(std::to_string(line));
  out.Put('=');
};

// The bytes are those of the plain loop, for no line, one chunk, and an
// odd and an even number of chunks.
TEST(ParallelLinesTest, WritesTheBytesOfThePlainLoop) {
  for (const std::size_t text : {0u, 1000u, 700000u, 1100000u, 5000000u}) {
    RichView view;
    FillView(view, text);
    const LineWriter write_line = [&](std::size_t line, DocumentOut& out) {
      kNumbered(line, out);
      out.Append(view.Line(line));
      out.Put('\n');
    };
    std::ostringstream plain;
    {
      DocumentOut out(plain);
      for (std::size_t line = 0; line < view.LineCount(); ++line) {
        write_line(line, out);
      }
    }
    std::ostringstream parallel;
    WriteAll(view, write_line, parallel);
    EXPECT_EQ(parallel.str(), plain.str()) << text;
  }
}

// A hand-on step is given every chunk in order, empty ones too (here the
// lines of the first chunks write nothing).
TEST(ParallelLinesTest, HandsTheChunksOnInOrder) {
  RichView view;
  FillView(view, 3000000);
  const LineWriter write_line = [](std::size_t line, DocumentOut& out) {
    if (line > 40 && line % 2 == 1) out.Append("," + std::to_string(line));
  };
  std::string expected;
  for (std::size_t line = 0; line < view.LineCount(); ++line) {
    if (line > 40 && line % 2 == 1) expected += "," + std::to_string(line);
  }
  std::vector<std::string> chunks;
  std::ostringstream stream;
  {
    DocumentOut out(stream);
    WriteLinesInParallel(view, write_line, out,
                         [&](std::string_view chunk, DocumentOut& to) {
                           chunks.emplace_back(chunk);
                           to.Append(chunk);
                         });
  }
  EXPECT_EQ(stream.str(), expected);
  ASSERT_GT(chunks.size(), 2u);
  EXPECT_EQ(chunks.front(), "");
  std::string joined;
  for (const std::string& chunk : chunks) joined += chunk;
  EXPECT_EQ(joined, expected);
}

// A failure on either thread ends the writing: a line writer's exception
// (in the first chunk, in one of the helper's, in the last) comes out of the
// call, and a stream that fails stops both threads.
TEST(ParallelLinesTest, EndsOnAFailureOfEitherThread) {
  RichView view;
  FillView(view, 3000000);
  const std::size_t last = view.LineCount() - 1;
  for (const std::size_t throwing : {std::size_t{0}, std::size_t{40}, last}) {
    std::ostringstream stream;
    const LineWriter write_line = [&](std::size_t line, DocumentOut& out) {
      if (line == throwing) throw std::runtime_error("line");
      kNumbered(line, out);
    };
    EXPECT_THROW(WriteAll(view, write_line, stream), std::runtime_error)
        << throwing;
  }
  std::ostringstream failing;
  failing.setstate(std::ios::badbit);
  std::atomic<std::size_t> written = 0;  // lines are made on two threads
  WriteAll(
      view,
      [&](std::size_t, DocumentOut& out) {
        ++written;
        out.Append(std::string(1000, 'x'));
      },
      failing);
  EXPECT_LT(written, view.LineCount());
}

}  // namespace
}  // namespace tessarin
