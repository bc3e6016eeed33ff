// Saving a document: a failure is reported with the system's reason and
// leaves whatever was at the target byte for byte; a success replaces the
// target in one step.
#include "app/document_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "support/temp_folder_test.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

// A document far larger than any file-size limit below.
void WriteLargeDocument(std::ostream& out) {
  const std::string line(99, 'x');
  for (int i = 0; i < 2000; ++i) out << line << '\n';
}

// The tests hand Write whole paths below dir_; joined to dir_, an absolute
// path stays as it is.
class DocumentFileTest : public testing::TempFolderTest {
 protected:
  void TearDown() override {
    fs::permissions(dir_ / "read-only", fs::perms::owner_all,
                    fs::perm_options::add, ignored_);
    TempFolderTest::TearDown();
  }

  // The names in `folder`, sorted, one per line; "-" for no folder.
  static std::string Listing(const fs::path& folder) {
    if (!fs::is_directory(folder)) return "-";
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    std::string listing;
    for (const std::string& name : names) listing += name + "\n";
    return listing;
  }

  std::error_code ignored_;
};

TEST_F(DocumentFileTest, FailureReportsItsReasonAndKeepsTheTarget) {
  const fs::path folder = dir_ / "folder";
  fs::create_directory(folder);
  Write(folder / "kept", "kept");
  const fs::path read_only = dir_ / "read-only";
  fs::create_directory(read_only);
  Write(read_only / "view.rtf", "old view in a read-only folder");
  fs::permissions(read_only, fs::perms::owner_read | fs::perms::owner_exec |
                                 fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read |
                                 fs::perms::others_exec);
  Write(dir_ / "full.rtf", "old view on a full disk");

  const struct Row {
    std::string name;
    fs::path target;
    bool unprivileged;    // permissions do not bind root
    std::uint64_t limit;  // file-size limit in bytes, 0 for none
    std::string reason;
  } rows[] = {
      {"into a missing folder", dir_ / "missing" / "view.rtf", false, 0,
       "No such file or directory"},
      {"onto a folder", folder, false, 0, "Is a directory"},
      {"into a read-only folder", read_only / "view.rtf", true, 0,
       "Permission denied"},
      {"when the disk fills", dir_ / "full.rtf", false, 4096, "File too large"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before_target =
        fs::is_regular_file(row.target) ? ReadFile(row.target) : "";
    const std::string before_folder = Listing(row.target.parent_path());
    const harness::ChildOutcome outcome = harness::RunInChild([&row] {
      if (row.unprivileged && !harness::DropRoot()) return std::string("root");
      if (row.limit != 0 && !harness::LimitFileSize(row.limit)) {
        return std::string("no limit");
      }
      const std::optional<std::string> failure =
          SaveDocument(row.target.string(), WriteLargeDocument);
      // The file-size signal is back to ending the process.
      struct sigaction action {};
      ::sigaction(SIGXFSZ, nullptr, &action);
      const bool restored = action.sa_handler == SIG_DFL;
      return failure.value_or("saved") + (restored ? "" : "; SIGXFSZ ignored");
    });
    ASSERT_TRUE(outcome.completed) << outcome.failure;
    EXPECT_EQ(outcome.report,
              "Cannot save \"" + row.target.string() + "\": " + row.reason);
    // No temporary file is left, and the target is as it was.
    EXPECT_EQ(Listing(row.target.parent_path()), before_folder);
    if (fs::is_regular_file(row.target)) {
      EXPECT_EQ(ReadFile(row.target), before_target);
    }
  }
  EXPECT_EQ(Listing(folder), "kept\n");
}

TEST_F(DocumentFileTest, SuccessReplacesTheTargetInOneStep) {
  const fs::path target = Write(dir_ / "view.rtf", "old view");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write |
                              fs::perms::group_read);
  // A second name for the old file: rewriting the file in place would change
  // it too; replacing the target leaves it alone.
  fs::create_hard_link(target, dir_ / "old.rtf");

  EXPECT_EQ(SaveDocument(target.string(),
                         [](std::ostream& out) { out << "new view"; }),
            std::nullopt);
  EXPECT_EQ(ReadFile(target), "new view");
  EXPECT_EQ(ReadFile(dir_ / "old.rtf"), "old view");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read |
                                                  fs::perms::owner_write |
                                                  fs::perms::group_read);
  EXPECT_EQ(Listing(dir_), "old.rtf\nview.rtf\n");
}

TEST_F(DocumentFileTest, WriterThatThrowsLeavesNoTemporaryFile) {
  const fs::path target = Write(dir_ / "view.rtf", "old view");
  EXPECT_THROW(SaveDocument(target.string(),
                            [](std::ostream& out) {
                              out << "half";
                              throw std::length_error("too long");
                            }),
               std::length_error);
  EXPECT_EQ(ReadFile(target), "old view");
  EXPECT_EQ(Listing(dir_), "view.rtf\n");
}

// Special files keep what they are: a pipe or a device is written into, a
// link to one stays a link, and a link to a file replaces the file, not the
// link. Devices are made in the test's own folder, never taken from /dev.
TEST_F(DocumentFileTest, SpecialTargetsAreWrittenIntoNotReplaced) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, dir_ / "link-to-fifo");
  const fs::path file = Write(dir_ / "file.rtf", "old");
  fs::create_symlink("file.rtf", dir_ / "link-to-file");
  const bool devices =
      ::mknod((dir_ / "null").c_str(), S_IFCHR | 0600, ::makedev(1, 3)) == 0 &&
      ::mknod((dir_ / "full").c_str(), S_IFCHR | 0600, ::makedev(1, 7)) == 0;
  const struct Row {
    const char* target;
    fs::file_type type;  // of the target afterwards, links not followed
    const char* failure;
    bool needs_devices;
  } rows[] = {
      {"fifo", fs::file_type::fifo, "", false},
      {"link-to-fifo", fs::file_type::symlink, "", false},
      {"link-to-file", fs::file_type::symlink, "", false},
      {"null", fs::file_type::character, "", true},
      {"full", fs::file_type::character, "No space left on device", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    if (row.needs_devices && !devices) continue;
    const fs::path target = dir_ / row.target;
    std::string read;
    std::thread reader;
    if (fs::is_fifo(target)) {
      reader = std::thread([&] { read = ReadFile(target); });
    }
    const std::optional<std::string> failure =
        SaveDocument(target.string(), [](std::ostream& out) { out << "new"; });
    if (reader.joinable()) reader.join();
    EXPECT_EQ(failure.value_or(""),
              *row.failure == 0
                  ? ""
                  : "Cannot save \"" + target.string() + "\": " + row.failure);
    EXPECT_EQ(fs::symlink_status(target).type(), row.type);
    if (fs::is_fifo(target)) {
      EXPECT_EQ(read, "new");
    }
  }
  EXPECT_EQ(ReadFile(file), "new");
}

TEST_F(DocumentFileTest, LongNamesAndOwnersAreKept) {
  for (const std::size_t length : {247u, 248u, 255u}) {
    const fs::path target = dir_ / std::string(length, 'v');
    EXPECT_EQ(
        SaveDocument(target.string(), [](std::ostream& out) { out << "view"; }),
        std::nullopt)
        << length;
    EXPECT_EQ(ReadFile(target), "view");
    fs::remove(target);
  }
  // Someone else's file stays theirs when root saves over it.
  const fs::path theirs = Write(dir_ / "theirs.rtf", "old");
  if (::chown(theirs.c_str(), harness::kNobody, harness::kNobody) != 0) {
    GTEST_SKIP() << "not root";
  }
  ASSERT_EQ(
      SaveDocument(theirs.string(), [](std::ostream& out) { out << "new"; }),
      std::nullopt);
  struct stat info {};
  ASSERT_EQ(::stat(theirs.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, harness::kNobody);
  EXPECT_EQ(info.st_gid, harness::kNobody);
}

TEST_F(DocumentFileTest, EndingSignalRemovesTheTemporaryFile) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    const fs::path target = Write(dir_ / "view.rtf", "old view");
    const harness::ChildOutcome outcome = harness::RunInChild([&] {
      SaveDocument(target.string(), [&](std::ostream& out) {
        WriteLargeDocument(out);
        out.flush();
        ::raise(signal_number);
      });
      return std::string("survived");
    });
    EXPECT_EQ(outcome.failure,
              "killed by signal " + std::to_string(signal_number));
    EXPECT_EQ(Listing(dir_), "view.rtf\n");
    EXPECT_EQ(ReadFile(target), "old view");
  }
}

}  // namespace
}  // namespace tessarin
