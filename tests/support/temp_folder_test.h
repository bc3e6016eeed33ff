// A test fixture with a folder of its own, removed after each test, and
// ways to write files into it and read them back.
#ifndef TESSARIN_TESTS_SUPPORT_TEMP_FOLDER_TEST_H_
#define TESSARIN_TESTS_SUPPORT_TEMP_FOLDER_TEST_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace tessarin::testing {

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tessarin_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes `content` byte for byte to `name` in the folder; returns its path.
  std::string Write(const std::string& name, std::string_view content) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
    return path.string();
  }

  std::filesystem::path dir_;
};

}  // namespace tessarin::testing

#endif  // TESSARIN_TESTS_SUPPORT_TEMP_FOLDER_TEST_H_
