// The programs' allocator: large arrays may be backed by huge pages from the
// first allocation on, and a request that cannot be met throws rather than
// ending the program.
#include "app/allocator.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace tessarin {
namespace {

// The "THPeligible" value of the mapping of /proc/self/smaps that holds
// `address`; -1 when none does.
int HugePageEligible(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t begin = 0, end = 0;
    char dash = 0;
    std::istringstream fields(line);
    if (fields >> std::hex >> begin >> dash >> end && dash == '-') {
      inside = begin <= at && at < end;
    } else if (inside && line.rfind("THPeligible:", 0) == 0) {
      return std::stoi(line.substr(12));
    }
  }
  return -1;
}

bool HugePagesOnRequest() {
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string text;
  std::getline(mode, text);
  return text.find("[madvise]") != std::string::npos ||
         text.find("[always]") != std::string::npos;
}

#ifdef TESSARIN_HEAP_HUGE_PAGES
constexpr bool kHugePageBuild = true;
#else
constexpr bool kHugePageBuild = false;
#endif

TEST(AllocatorTest, LargeArraysMayUseHugePagesAndExhaustionThrows) {
  if (!kHugePageBuild) {
    GTEST_SKIP() << "this build keeps the allocator as it is";
  }
  if (HugePageAllocator() && HugePagesOnRequest()) {
    // One array from the heap, one mapped on its own; the middle of each
    // lies in whole 2 MB pages (their ends may not).
    for (const std::size_t megabytes : {8, 48}) {
      SCOPED_TRACE(megabytes);
      const std::vector<char> array(megabytes << 20, 'A');
      EXPECT_EQ(HugePageEligible(array.data() + array.size() / 2), 1);
    }
  }
  // More than any address space: malloc fails, operator new throws.
  EXPECT_THROW(static_cast<void>(::operator new (std::size_t{1} << 60)),
               std::bad_alloc);
}

}  // namespace
}  // namespace tessarin
