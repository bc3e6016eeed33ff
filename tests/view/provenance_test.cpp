#include "view/provenance.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scoped_environment.h"

namespace tessarin {
namespace {

// The current date when `epoch` is nullptr.
std::string DateWith(const char* epoch) {
  const testing::ScopedEnvironment scoped("SOURCE_DATE_EPOCH", epoch);
  return DocumentDate();
}

TEST(DocumentDateTest, TakesSourceDateEpochWhenValidElseNow) {
  struct Case {
    const char* epoch;
    const char* date;  // nullptr: the current time
  };
  const Case cases[] = {
      {"0", "1970-01-01T00:00:00Z"},
      {"1796742245", "2026-12-08T15:04:05Z"},
      {"0001796742245", "2026-12-08T15:04:05Z"},
      {nullptr, nullptr},
      {"", nullptr},
      {"-1", nullptr},
      {"+5", nullptr},
      {" 5", nullptr},
      {"5s", nullptr},
      {"1.5", nullptr},
      {"99999999999999999999999", nullptr},  // beyond 64 bits
      {"9223372036854775807", nullptr},      // no representable year
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.epoch == nullptr ? "unset" : c.epoch);
    const std::string before = DateWith(nullptr);
    const std::string date = DateWith(c.epoch);
    const std::string after = DateWith(nullptr);
    if (c.date != nullptr) {
      EXPECT_EQ(date, c.date);
      continue;
    }
    // Same-length ISO texts order as the times they name.
    EXPECT_EQ(date.size(), std::string("2026-12-08T15:04:05Z").size());
    EXPECT_LE(before, date);
    EXPECT_LE(date, after);
  }
}

TEST(TitleFromPathTest, KeepsTheFileNameOnly) {
  EXPECT_EQ(TitleFromPath("examples/promoter.fas"), "promoter.fas");
  EXPECT_EQ(TitleFromPath("/a/b/c.fas"), "c.fas");
  EXPECT_EQ(TitleFromPath("c.fas"), "c.fas");
  EXPECT_EQ(TitleFromPath(""), "");
}

}  // namespace
}  // namespace tessarin
