#include "view/output_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

namespace tessarin {
namespace {

constexpr EscapeSet kSet = MakeEscapeSet(0x20, '\t', true, "\x7f\\{}&");

// The eight-byte test may answer yes for a word without a special byte, but
// never no for one with: words of bytes near every boundary of the set.
TEST(OutputBufferTest, WordTestNeverMissesASpecialByte) {
  const unsigned char near[] = {0x00, 0x01, 0x08, 0x09, 0x0A, 0x1F, 0x20,
                                0x21, 0x25, 0x26, 0x27, 0x5B, 0x5C, 0x5D,
                                0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F, 0x80,
                                0xFE, 0xFF, 'A',  'c'};
  std::mt19937_64 random(1);
  for (int i = 0; i < 300000; ++i) {
    unsigned char bytes[8];
    bool any = false;
    for (unsigned char& byte : bytes) {
      byte = random() % 4 == 0 ? static_cast<unsigned char>(random())
                               : near[random() % sizeof near];
      any = any || kSet.bytes[byte];
    }
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    if (any) {
      ASSERT_TRUE(MayHoldEscape(kSet, word)) << std::hex << word;
    }
  }
}

TEST(OutputBufferTest, EscapesExactlyTheBytesOfTheSet) {
  std::string text;
  for (int round = 0; round < 3; ++round) {
    for (int byte = 0; byte < 256; ++byte) {
      text += static_cast<char>(byte);
      text += "plain text ";
    }
  }
  std::ostringstream stream;
  {
    DocumentOut out(stream);
    AppendEscaped(text, kSet, out, [](unsigned char byte, DocumentOut& to) {
      to.Append("<" + std::to_string(byte) + ">");
    });
  }
  std::string expected;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    expected +=
        kSet.bytes[byte] ? "<" + std::to_string(byte) + ">" : std::string(1, c);
  }
  EXPECT_EQ(stream.str(), expected);
}

}  // namespace
}  // namespace tessarin
