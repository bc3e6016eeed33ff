#include "text/sha256.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/temp_folder_test.h"

namespace tessarin {
namespace {

class FileSha256Test : public testing::TempFolderTest {};

TEST_F(FileSha256Test, DigestsWholeFilesAndNothingElse) {
  struct Case {
    const char* name;
    std::string content;
    const char* digest;
  };
  // Longer than one read chunk, so the digest runs over several.
  const std::string million(1000000, 'a');
  const Case cases[] = {
      {"empty", "",
       "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"million", million,
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileSha256(Write(c.name, c.content)), c.digest) << c.name;
  }
  EXPECT_EQ(FileSha256((dir_ / "missing").string()), std::nullopt);
  EXPECT_EQ(FileSha256(dir_.string()), std::nullopt);
  EXPECT_EQ(FileSha256("/dev/null"), std::nullopt);
}

}  // namespace
}  // namespace tessarin
